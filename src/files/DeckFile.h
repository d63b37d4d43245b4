// The *.rvm deck file: records that start with 0x1F at the beginning of a
// line, three per page (upper text, lower text, order entry), CR LF after
// each, code page 932.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "deck/Deck.h"

namespace rvm {

inline constexpr char kRecordMark = '\x1f';

// Splits the bytes of a file into its records, in file order, and decodes
// each straight into its item (CR, LF and 0x1F are never part of a double
// byte character, so splitting first is safe). A line ends at CR or CR LF;
// a lone LF stays in the text. The file may come in pieces.
class RecordSplitter {
public:
    // Room is kept for the records a file of fileSize bytes can hold.
    RecordSplitter(std::vector<std::string>& records, std::uint64_t fileSize);
    // Takes the records that end within bytes and returns how many bytes it
    // used; the rest must come again at the front of the next piece. With
    // atEnd, bytes end the file and all of them are used.
    std::size_t take(std::string_view bytes, bool atEnd);
    // False when the first line is no record.
    bool ok() const { return ok_; }
    // False once the rest of the file can no longer make a deck of it.
    bool wantsMore() const;

private:
    std::vector<std::string>& records_;
    bool ok_ = true;
};

// The records of a whole file. Returns false when the first line is no record.
bool SplitRecords(std::string_view bytes, std::vector<std::string>& records);

// Builds the deck from the records. False when they are no usable deck:
// no complete page, too many pages, or order entries that are not exactly
// the storage indexes, each once. Stray records after the last page are ignored.
// The texts of an accepted deck are moved out of records.
bool BuildDeck(std::vector<std::string>& records, Deck& deck);

// The file's text (UTF-8, before conversion). pageStarts receives the
// offset at which each page's first record begins. A record mark that
// begins a line inside a text would read back as a new record, so it is
// written as '?' and its offset goes to marks.
std::string DeckText(const Deck& deck, std::vector<std::size_t>* pageStarts = nullptr,
                     std::vector<std::size_t>* marks = nullptr);
// The same for one page, its three records appended to out: the order entry
// given as the third.
void AppendPageRecords(std::string& out, const Page& page, int order, std::vector<std::size_t>* marks = nullptr);

}  // namespace rvm
