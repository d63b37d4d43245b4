// Tables of two columns, question and answer, one row per page, in the
// dialects spreadsheets and flashcard programs speak: quoted as RFC 4180
// has it, or plain, where a quote is an ordinary character and no field can
// hold the separator or a line break.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "deck/Deck.h"

namespace rvm {

// Programs whose own way of writing tables a preset speaks, both ways:
// Excel: CSV, code page 932 out, any encoding in.
// Anki: quoted TSV with HTML fields and its #key:value header lines.
// Mnemosyne: plain TSV with HTML fields; it refuses empty questions and answers.
// Kde (KWordQuiz, Parley): plain TSV; the Title: and Author: lines their
// export starts with are skipped, both or none.
enum class TableProgram { None, Excel, Anki, Mnemosyne, Kde };

struct TableDialect {
    char separator = '\t';
    bool quoted = true;
    bool html = false;  // fields are HTML: <br> for line breaks, entities for & < >
    // A line that starts with this is a comment, no row; so a question
    // that starts with it is quoted. 0 for none.
    char comment = 0;
    // Columns (from 0) a header names as something other than a text, such as
    // tags: the question and the answer are the first two columns left.
    std::uint32_t otherColumns = 0;

    std::size_t questionColumn() const;
    std::size_t answerColumn() const;
    bool isOther(std::size_t column) const { return column < 32 && (otherColumns >> column & 1); }
};

// The table of the pages rows names, in that order, each row ending in LF.
// Quoted, a field holding the separator, a quote or a line break is quoted,
// its quotes doubled, and line breaks are written as LF. Plain, fields are
// written as they stand: the caller has kept the separator and line breaks out.
std::string TableText(const std::vector<Page>& pages, const std::vector<int>& rows, const TableDialect& dialect);

struct TableError {
    int status = 0;
    std::size_t line = 0;
    std::string message;
    bool badUtf8 = false;  // refused for a byte UTF-8 cannot have
};

// The rows of a table, one at a time, from its text as it comes; its first
// line is line firstLine. Blank lines and comments are skipped; a quote
// inside an unquoted field is kept as it stands, as spreadsheets do. Refuses
// a quote left open, text after a closing quote, more rows than a deck holds
// and a table of none. The texts are not checked for well-formed UTF-8 here:
// the conversion to code page 932 does that on its way.
class TableReader {
public:
    TableReader(const TableDialect& dialect, std::size_t firstLine) : dialect_(dialect), line_(firstLine) {}

    enum Result { Row, More, End, Failed };
    // Row: the next row of text, from where the last one ended, is in page
    // (line breaks as CR LF), starting on line. More: the rest of text holds
    // no whole row; give it again, with more text after it, once takeUsed()
    // bytes are dropped from its front. atEnd: no more text follows. Failed:
    // error says why.
    Result next(std::string_view text, bool atEnd, Page& page, std::size_t& line, TableError& error);
    std::size_t takeUsed() { return std::exchange(pos_, 0); }

    std::size_t extraColumnsLine = 0;  // first line with a column past the answer that no header names; 0 for none
    std::size_t quoteOverTabLine = 0;  // first line where a quoted field seems to run on over a tab; 0 for none

private:
    TableDialect dialect_;
    std::size_t pos_ = 0, line_, rows_ = 0;
};

// Whether the row text starts with, read with quotes as in CSV, is
// separated by tabs and not by commas: what spreadsheets save as .csv too.
bool TabSeparatedRow(std::string_view text);

// The lines program writes above its rows: Anki's, which pin the
// separator and say whether fields are HTML.
std::string HeaderLines(TableProgram program, const TableDialect& dialect);

// Skips the lines program writes above its rows and returns the rest of
// text; lines counts the lines skipped. Anki's #key:value lines set the
// separator (separatorPinned), whether fields are HTML, and the columns
// that hold no text; KWordQuiz's and Parley's Title: and Author: lines say
// nothing a deck keeps.
std::string_view SkipHeaderLines(std::string_view text, TableProgram program, TableDialect& dialect,
                                 std::size_t& lines, bool& separatorPinned);

// What program's own reader would do to a page that no table can keep from
// it, said for a warning, or nothing.
std::string ProgramLoss(TableProgram program, const std::string& question, const std::string& answer);

}  // namespace rvm
