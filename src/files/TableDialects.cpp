#include "TableDialects.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "DeckExchange.h"
#include "TextEncodings.h"
#include "deck/Deck.h"

namespace rvm {
namespace {

const char kFullWidthSpace[] = "\xE3\x80\x80";

// The first position from i on that holds one of the bytes cs, or the end.
// Eight bytes at a time: texts are long and the bytes sought are rare.
template <class... C>
std::size_t findAny(std::string_view s, std::size_t i, C... cs) {
    constexpr std::uint64_t ones = 0x0101010101010101ULL, highs = 0x8080808080808080ULL;
    auto holds = [](std::uint64_t w, char c) {
        const std::uint64_t x = w ^ (ones * static_cast<unsigned char>(c));
        return (x - ones) & ~x & highs;
    };
    const std::size_t n = s.size();
    for (std::uint64_t w; i + 8 <= n; i += 8) {
        std::memcpy(&w, s.data() + i, 8);
        if ((holds(w, cs) | ...)) break;
    }
    while (i < n && ((s[i] != cs) && ...)) ++i;
    return i;
}

std::string_view trim(std::string_view s) {
    while (s.starts_with(' ')) s.remove_prefix(1);
    while (s.ends_with(' ')) s.remove_suffix(1);
    return s;
}

// Takes in one of Anki's #key:value lines; true when it named a separator.
bool ankiHeader(std::string_view line, TableDialect& d) {
    const std::size_t colon = line.find(':');
    if (colon == std::string_view::npos) return false;
    const std::string key = AsciiLower(trim(line.substr(1, colon - 1)));
    const std::string value = AsciiLower(trim(line.substr(colon + 1)));
    if (key == "separator") {
        const char* const names[] = {"comma", "semicolon", "tab", "space", "pipe", "colon"};
        const char chars[] = {',', ';', '\t', ' ', '|', ':'};
        for (int k = 0; k < 6; ++k) {
            if (value == names[k]) {
                d.separator = chars[k];
                return true;
            }
        }
        if (value.size() != 1) return false;  // one Anki does not know either
        d.separator = trim(line.substr(colon + 1))[0];
        return true;
    }
    if (key == "html") d.html = value == "true";
    if (key.ends_with(" column")) {  // tags, deck, notetype, guid
        const int column = std::atoi(value.c_str());
        if (column >= 1 && column <= 32) d.otherColumns |= std::uint32_t{1} << (column - 1);
    }
    return false;
}

// Blank as the programs see it: spaces, half-width or full-width, or nothing.
bool blank(std::string_view t) {
    while (t.starts_with(' ') || t.starts_with(kFullWidthSpace)) t.remove_prefix(t[0] == ' ' ? 1 : 3);
    return t.empty();
}

// What KWordQuiz and Parley leave as it is: no full-width space, no blank
// at either end and no two in a row.
bool packed(std::string_view t) {
    return t.find(kFullWidthSpace) == std::string_view::npos && t.find("  ") == std::string_view::npos &&
           !t.starts_with(' ') && !t.ends_with(' ');
}

std::string which(bool question, bool answer) {
    return question && answer ? "問題と答え" : question ? "問題" : "答え";
}

// A place in a table's text, and the line it is on.
struct TableCursor {
    std::string_view text;
    std::size_t pos, line;

    bool atEnd() const { return pos >= text.size(); }
    bool atBreak() const { return text[pos] == '\r' || text[pos] == '\n'; }
    void skipBreak() {
        if (text[pos] == '\r' && pos + 1 < text.size() && text[pos + 1] == '\n') ++pos;
        ++pos;
        ++line;
    }
};

bool failed(TableError& error, int status, std::size_t line, std::string message, bool badUtf8 = false) {
    error = {status, line, std::move(message), badUtf8};
    return false;
}

// A quoted field from its opening quote on, up to its closing quote, with
// its quotes undoubled and its line breaks as CR LF.
bool readQuoted(TableCursor& c, std::string& field, TableError& error) {
    const std::size_t opened = c.line;
    ++c.pos;
    for (;;) {
        const std::size_t stop = findAny(c.text, c.pos, '"', '\r', '\n');
        if (stop == c.text.size()) {
            c.pos = stop;  // the quote may close in text still to come
            return failed(error, kConvertRefused, opened, "引用符（\"）が閉じていません。");
        }
        field.append(c.text, c.pos, stop - c.pos);
        c.pos = stop;
        if (c.text[c.pos] != '"') {
            field += "\r\n";
            c.skipBreak();
        } else if (c.pos + 1 < c.text.size() && c.text[c.pos + 1] == '"') {
            field += '"';
            c.pos += 2;
        } else {
            ++c.pos;
            return true;
        }
    }
}

// One row's fields from the start of its line on, into page, and past its
// line break; what it tells of the table goes to extraColumnsLine and
// quoteOverTabLine.
bool readRow(TableCursor& c, const TableDialect& dialect, Page& page, std::size_t& extraColumnsLine,
             std::size_t& quoteOverTabLine, TableError& error) {
    const char separator = dialect.separator;
    const std::size_t question = dialect.questionColumn(), answer = dialect.answerColumn();
    page.question.clear();
    page.answer.clear();
    std::string dropped;
    for (std::size_t column = 0;; ++column) {
        const bool kept = column == question || column == answer;
        if (!kept && column > answer && !dialect.isOther(column) && !extraColumnsLine) extraColumnsLine = c.line;
        std::string& field = column == question ? page.question : column == answer ? page.answer : dropped;
        if (dialect.quoted && !c.atEnd() && c.text[c.pos] == '"') {
            const std::size_t opened = c.line;
            if (!readQuoted(c, field, error)) return false;
            if (!c.atEnd() && c.text[c.pos] != separator && !c.atBreak())
                return failed(error, kConvertRefused, c.line, "閉じた引用符（\"）のあとに区切りも改行もありません。");
            // A program that does not quote wrote a text that starts with a
            // quote: read on to the next quote that ends a field, it takes in
            // the tabs and fields after it, and the row ends before its answer.
            if (separator == '\t' && column < answer && (c.atEnd() || c.atBreak()) && !quoteOverTabLine &&
                field.find('\t') != std::string::npos)
                quoteOverTabLine = opened;
        } else {
            const std::size_t stop = findAny(c.text, c.pos, separator, '\r', '\n');
            field.append(c.text, c.pos, stop - c.pos);
            c.pos = stop;
        }
        if (!kept) {
            if (std::size_t bad = FirstBadUtf8(field); bad != std::string_view::npos)
                return failed(error, kConvertRefused, c.line, BadUtf8Message(field[bad]), true);
            dropped.clear();
        }
        if (!c.atEnd() && c.text[c.pos] == separator) {
            ++c.pos;
            continue;
        }
        if (!c.atEnd()) c.skipBreak();
        return true;
    }
}

}  // namespace

std::size_t TableDialect::questionColumn() const {
    std::size_t c = 0;
    while (isOther(c)) ++c;
    return c;
}

std::size_t TableDialect::answerColumn() const {
    std::size_t c = questionColumn() + 1;
    while (isOther(c)) ++c;
    return c;
}

std::string TableText(const std::vector<Page>& pages, const std::vector<int>& rows, const TableDialect& dialect) {
    const char separator = dialect.separator;
    std::size_t size = 0;
    for (int s : rows) size += pages[s].question.size() + pages[s].answer.size() + 8;
    std::string out;
    out.reserve(size);
    auto put = [&](const std::string& t, bool rowStart) {
        const bool comment = rowStart && dialect.comment && t.starts_with(dialect.comment);
        if (!dialect.quoted || (!comment && findAny(t, 0, separator, '"', '\r', '\n') == t.size())) {
            out += t;
            return;
        }
        out += '"';
        const std::size_t n = t.size();
        std::size_t i = 0;
        while (i < n) {
            const std::size_t stop = findAny(t, i, '"', '\r');
            out.append(t, i, stop - i);
            if (stop == n) break;
            if (t[stop] == '"') out += "\"\"";
            else if (stop + 1 == n || t[stop + 1] != '\n') out += '\r';  // CR LF goes out as its LF
            i = stop + 1;
        }
        out += '"';
    };
    for (int s : rows) {
        put(pages[s].question, true);
        out += separator;
        put(pages[s].answer, false);
        out += '\n';
    }
    return out;
}

TableReader::Result TableReader::next(std::string_view text, bool atEnd, Page& page, std::size_t& line,
                                      TableError& error) {
    TableCursor c{text, pos_, line_};
    for (;;) {
        if (c.atEnd()) {
            if (!atEnd) return More;
            if (rows_) return End;
            failed(error, kConvertRefused, 0, "空のファイルです。");
            return Failed;
        }
        const TableCursor start = c;
        // Only what is read before the end of the text counts: a line break,
        // a comment, a field or the row may go on in the text still to come.
        std::size_t extra = extraColumnsLine, over = quoteOverTabLine;
        bool read = false;
        if (c.atBreak()) {  // a blank line is no page
            c.skipBreak();
        } else if (dialect_.comment && text[c.pos] == dialect_.comment) {
            c.pos = findAny(text, c.pos, '\r', '\n');
        } else if (rows_ == static_cast<std::size_t>(kMaxPages)) {
            failed(error, kConvertTooManyPages, c.line, kTooManyPages);
            return Failed;
        } else if (!readRow(c, dialect_, page, extra, over, error)) {
            if (atEnd || !c.atEnd()) return Failed;
        } else {
            read = true;
        }
        if (!atEnd && c.atEnd()) {
            pos_ = start.pos;
            line_ = start.line;
            return More;
        }
        pos_ = c.pos;
        line_ = c.line;
        if (!read) continue;
        extraColumnsLine = extra;
        quoteOverTabLine = over;
        ++rows_;
        line = start.line;
        return Row;
    }
}

bool TabSeparatedRow(std::string_view text) {
    bool tabs = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == ',') return false;
        if (c == '\r' || c == '\n') break;
        tabs |= c == '\t';
        // A quoted field runs to its closing quote: what it holds says nothing.
        if (c == '"' && (i == 0 || text[i - 1] == '\t')) {
            while (++i < text.size()) {
                if (text[i] != '"') continue;
                if (i + 1 == text.size() || text[i + 1] != '"') break;
                ++i;  // a doubled quote
            }
        }
    }
    return tabs;
}

std::string HeaderLines(TableProgram program, const TableDialect& d) {
    if (program != TableProgram::Anki) return {};
    return std::string("#separator:") + (d.separator == ',' ? "comma" : "tab") + "\n#html:" +
           (d.html ? "true" : "false") + "\n";
}

std::string_view SkipHeaderLines(std::string_view text, TableProgram program, TableDialect& dialect,
                                 std::size_t& lines, bool& separatorPinned) {
    separatorPinned = false;
    for (lines = 0;; ++lines) {
        const std::size_t end = std::min(text.find_first_of("\r\n"), text.size());
        const std::string_view line = text.substr(0, end);
        if (program == TableProgram::Kde) {
            // Their export starts with exactly these two; a lone row of
            // either is a page, which they keep too.
            std::string_view next = text.substr(end);
            next.remove_prefix(next.starts_with("\r\n") ? 2 : !next.empty());
            if (!(lines == 0 ? line.starts_with("Title:") && next.starts_with("Author:")
                             : lines == 1 && line.starts_with("Author:")))
                break;
        } else if (program == TableProgram::Anki && line.starts_with('#')) {
            separatorPinned |= ankiHeader(line, dialect);
        } else if (!(program == TableProgram::Anki && lines == 0 && line.starts_with("tags:"))) {
            break;  // Anki's old tags line may come first
        }
        text.remove_prefix(end + text.substr(end).starts_with("\r\n") + (end < text.size()));
    }
    return text;
}

// Anki skips a note whose first field is empty. Mnemosyne refuses the whole file for an empty question or a blank answer
// (it strips the end of each line). KWordQuiz and Parley drop a page with
// neither, and pack every run of blanks, full-width spaces too, into one
// half-width space.
std::string ProgramLoss(TableProgram program, const std::string& q, const std::string& a) {
    if (program == TableProgram::Anki && blank(q))
        return "問題が空です。Anki はこのページを読み込みません。";
    if (program == TableProgram::Mnemosyne && (q.empty() || blank(a)))
        return which(q.empty(), blank(a)) + "が空です。Mnemosyne はこのファイルを読み込みません。";
    if (program != TableProgram::Kde) return {};
    if (blank(q) && blank(a)) return "問題も答えも空のページは KWordQuiz と Parley に読み込まれません。";
    const bool qChanges = !packed(q), aChanges = !packed(a);
    if (!qChanges && !aChanges) return {};
    return which(qChanges, aChanges) +
           "の空白は KWordQuiz と Parley で変わります（前後の空白は消え、ほかは半角の空白1つになります）。";
}

}  // namespace rvm
