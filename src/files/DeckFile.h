// The *.rvm deck file: records that start with 0x1F at the beginning of a
// line, three per page (upper text, lower text, order entry), CR LF after
// each, code page 932.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace rvm {

inline constexpr char kRecordMark = '\x1f';

// The records of a decoded file, in file order. A line ends at CR or CR LF;
// a lone LF stays in the text. Returns false when the first line is no record.
bool SplitRecords(const std::string& text, std::vector<std::string>& records);

struct DeckLists {
    std::vector<std::string> upper, lower;
    std::vector<int> order;
};

// Builds the deck from the records. False when they are no usable deck:
// no complete page, too many pages, or order entries that are not exactly
// the storage indexes, each once. Stray records after the last page are ignored.
// The texts of an accepted deck are moved out of records.
bool BuildDeck(std::vector<std::string>& records, DeckLists& deck);

// The file's text (UTF-8, before conversion). pageStarts receives the
// offset at which each page's first record begins. A record mark that
// begins a line inside a text would read back as a new record, so it is
// written as '?' and its offset goes to marks.
std::string DeckText(const std::vector<std::string>& upper, const std::vector<std::string>& lower,
                     const std::vector<int>& order, std::vector<std::size_t>* pageStarts = nullptr,
                     std::vector<std::size_t>* marks = nullptr);

}  // namespace rvm
