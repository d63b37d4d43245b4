// Excel workbooks (.xlsx) of two columns, question and answer: written with
// every field a text cell, so that =1+2, 001234 or 1/2 open in a spreadsheet
// as the text they are, and read back from their first worksheet. One
// backend per build: the libraries, or none where they are missing.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "deck/Deck.h"

namespace rvm {

// False in a build without the libraries: spreadsheets then get CSV.
bool XlsxAvailable();

// The workbook's bytes, one row per page of rows; none with error set.
std::optional<std::string> XlsxFromRows(const std::vector<Page>& pages, const std::vector<int>& rows,
                                        std::string& error);

// Columns A and B of the first worksheet, one page per row that holds
// text, with the row's number in lines; numbers as the text the file keeps.
// False with error set (and lines.back() the row, past too many rows).
bool RowsFromXlsx(std::string_view bytes, std::vector<Page>& pages, std::vector<std::size_t>& lines,
                  std::string& error);

}  // namespace rvm
