// Decks to and from UTF-8 tables of two columns, question and answer, one
// line per page: CSV as RFC 4180 has it, and the same with tabs (TSV), which
// spreadsheets and other flashcard programs read and write.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "deck/Deck.h"

namespace rvm {

enum class DeckFormat { Rvm, Tsv, Csv };

// "rvm", "tsv" or "csv", in any case.
std::optional<DeckFormat> FormatNamed(std::string_view word);
// The format a file name's extension names.
std::optional<DeckFormat> FormatOfPath(std::string_view path);

// The table of the pages whose storage indexes rows names, in that order. A field
// holding the separator, a quote or a line break is quoted, its quotes
// doubled; line breaks are written as LF, also inside texts.
std::string TableText(const std::vector<Page>& pages, const std::vector<int>& rows, char separator);

struct Table {
    std::vector<std::string> upper, lower;  // line breaks as CR LF
    std::vector<std::size_t> lines;         // the line each row starts on, from 1
    std::size_t extraColumnsLine = 0;       // first line with a third column; 0 for none
};

struct TableError {
    int status = 0;
    std::size_t line = 0;
    std::string message;
};

// Reads a table. A leading byte order mark and blank lines are skipped; a
// quote inside an unquoted field is kept as it stands, as spreadsheets do.
// Refuses a quote left open, text after a closing quote and more rows than a
// deck holds. The texts are not checked for well-formed UTF-8 here: the
// conversion to code page 932 does that on its way.
bool ParseTable(std::string_view text, char separator, Table& table, TableError& error);

// Exit statuses of the converter.
inline constexpr int kConvertOk = 0;
inline constexpr int kConvertRefused = 1;
inline constexpr int kConvertTooManyPages = 2;
inline constexpr int kConvertUsage = 64;

struct ConvertOptions {
    DeckFormat from = DeckFormat::Rvm, to = DeckFormat::Tsv;
    std::string inputName, outputName;  // for messages only
    bool storageOrder = false;          // tables in storage order rather than display order
    bool lossy = false;                 // write a deck even with characters it cannot hold
};

struct Converted {
    int status = kConvertOk;
    std::string bytes;                  // the output file, when status is kConvertOk
    std::vector<std::string> messages;  // lines for standard error
};

// Converts one file's bytes. A table becomes a new deck whose storage and
// display order are the table's row order; a deck becomes a table in its
// display order, or its storage order.
Converted ConvertDeck(const std::string& input, const ConvertOptions& options);

}  // namespace rvm
