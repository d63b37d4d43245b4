#include "TableDialects.h"

#include <cstring>

#include "DeckExchange.h"
#include "TextEncodings.h"
#include "deck/Module1.h"

namespace rvm {
namespace {

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

std::string TableText(const std::vector<std::string>& upper, const std::vector<std::string>& lower,
                      const std::vector<int>& rows, const TableDialect& dialect) {
    const char separator = dialect.separator;
    std::size_t size = 0;
    for (int s : rows) size += upper[s].size() + lower[s].size() + 8;
    std::string out;
    out.reserve(size);
    auto put = [&](const std::string& t) {
        if (!dialect.quoted || findAny(t, 0, separator, '"', '\r', '\n') == t.size()) {
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
        put(upper[s]);
        out += separator;
        put(lower[s]);
        out += '\n';
    }
    return out;
}

bool ParseTable(std::string_view text, const TableDialect& dialect, std::size_t firstLine, Table& t,
                TableError& error) {
    t = Table{};
    auto fail = [&](int status, std::size_t line, std::string message, bool badUtf8 = false) {
        error = {status, line, std::move(message), badUtf8};
        return false;
    };
    const char separator = dialect.separator;
    const std::size_t question = dialect.questionColumn(), answer = dialect.answerColumn();
    const std::size_t n = text.size();
    std::size_t pos = 0;
    std::size_t line = firstLine;
    auto isBreak = [&](std::size_t i) { return text[i] == '\r' || text[i] == '\n'; };
    auto skipBreak = [&] {
        if (text[pos] == '\r' && pos + 1 < n && text[pos + 1] == '\n') ++pos;
        ++pos;
        ++line;
    };
    std::string dropped;
    while (pos < n) {
        if (isBreak(pos)) {  // a blank line is no page
            skipBreak();
            continue;
        }
        if (t.upper.size() == static_cast<std::size_t>(kMaxPages))
            return fail(kConvertTooManyPages, line, kTooManyPages);
        t.lines.push_back(line);
        t.upper.emplace_back();
        t.lower.emplace_back();
        for (std::size_t column = 0;; ++column) {
            const bool kept = column == question || column == answer;
            if (!kept && column > answer && !dialect.isOther(column) && !t.extraColumnsLine)
                t.extraColumnsLine = line;
            std::string& field = column == question ? t.upper.back() : column == answer ? t.lower.back() : dropped;
            field.clear();
            if (dialect.quoted && pos < n && text[pos] == '"') {
                const std::size_t opened = line;
                ++pos;
                for (;;) {
                    const std::size_t stop = findAny(text, pos, '"', '\r', '\n');
                    if (stop == n) return fail(kConvertRefused, opened, "引用符（\"）が閉じていません。");
                    field.append(text, pos, stop - pos);
                    pos = stop;
                    if (text[pos] != '"') {
                        field += "\r\n";
                        skipBreak();
                    } else if (pos + 1 < n && text[pos + 1] == '"') {
                        field += '"';
                        pos += 2;
                    } else {
                        ++pos;
                        break;
                    }
                }
                if (pos < n && text[pos] != separator && !isBreak(pos))
                    return fail(kConvertRefused, line, "閉じた引用符（\"）のあとに区切りも改行もありません。");
                // A program that does not quote wrote a text that starts with
                // a quote; reading on to the next quote merges its fields.
                if (separator == '\t' && !t.quoteOverTabLine && field.find('\t') != std::string::npos)
                    t.quoteOverTabLine = opened;
            } else {
                const std::size_t stop = findAny(text, pos, separator, '\r', '\n');
                field.append(text, pos, stop - pos);
                pos = stop;
            }
            if (!kept) {
                if (std::size_t bad = FirstBadUtf8(field); bad != std::string_view::npos)
                    return fail(kConvertRefused, line, BadUtf8Message(field[bad]), true);
            }
            if (pos < n && text[pos] == separator) {
                ++pos;
                continue;
            }
            if (pos < n) skipBreak();
            break;
        }
    }
    if (t.upper.empty()) return fail(kConvertRefused, 0, "空のファイルです。");
    return true;
}

}  // namespace rvm
