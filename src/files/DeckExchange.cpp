#include "DeckExchange.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <numeric>

#include "Cp932.h"
#include "DeckFile.h"
#include "deck/Deck.h"

namespace rvm {
namespace {

const char* const kNotADeck = "適当な *.rvm ファイルでありません。";
const char* const kTooManyPages = "ページが多すぎます。*.rvm ファイルに入るのは 32768 ページまでです。";
constexpr std::size_t kShownProblems = 10;

char separatorOf(DeckFormat f) { return f == DeckFormat::Csv ? ',' : '\t'; }

// Offset of the first byte that is not well-formed UTF-8, or npos.
std::size_t firstBadUtf8(std::string_view s) {
    const auto* p = reinterpret_cast<const unsigned char*>(s.data());
    const std::size_t n = s.size();
    for (std::size_t i = 0; i < n;) {
        const unsigned c = p[i];
        std::size_t len = 1;
        unsigned lo = 0x80, hi = 0xBF;  // the second byte's range shuts out overlong forms and surrogates
        if (c >= 0xC2 && c <= 0xDF) {
            len = 2;
        } else if (c >= 0xE0 && c <= 0xEF) {
            len = 3;
            if (c == 0xE0) lo = 0xA0;
            if (c == 0xED) hi = 0x9F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            len = 4;
            if (c == 0xF0) lo = 0x90;
            if (c == 0xF4) hi = 0x8F;
        } else if (c >= 0x80) {
            return i;
        }
        if (len > 1 && (i + len > n || p[i + 1] < lo || p[i + 1] > hi)) return i;
        for (std::size_t k = 2; k < len; ++k)
            if ((p[i + k] & 0xC0) != 0x80) return i;
        i += len;
    }
    return std::string_view::npos;
}

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

std::string badUtf8(char c) {
    char hex[8];
    std::snprintf(hex, sizeof hex, "0x%02X", static_cast<unsigned char>(c));
    return std::string("UTF-8 として読めないバイトがあります（") + hex + "）。";
}

// "「X」(U+XXXX)", or the code alone for a control character.
std::string describeChar(const std::string& text, std::size_t at) {
    const auto c = static_cast<unsigned char>(text[at]);
    const std::size_t len = std::min(cp932::Utf8Length(c), text.size() - at);
    std::uint32_t cp = len == 1 ? c : c & (0xFF >> (len + 1));
    for (std::size_t k = 1; k < len; ++k) cp = cp << 6 | (static_cast<unsigned char>(text[at + k]) & 0x3F);
    char code[16];
    std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(cp));
    if (cp < 0x20 || cp == 0x7F) return code;
    return "「" + text.substr(at, len) + "」(" + code + ")";
}

// The table line that holds the byte at offset of the deck text made from
// the table's pages, whose rows start on lines.
std::size_t tableLine(const Deck& deck, const std::vector<std::size_t>& lines,
                      const std::vector<std::size_t>& pageStarts, std::size_t at) {
    const auto k = static_cast<std::size_t>(std::upper_bound(pageStarts.begin(), pageStarts.end(), at) -
                                            pageStarts.begin() - 1);
    std::size_t rel = at - pageStarts[k] - 1;
    const std::string& u = deck.pages[k].question;
    const std::string& l = deck.pages[k].answer;
    if (rel < u.size()) return lines[k] + std::count(u.begin(), u.begin() + rel, '\n');
    rel = std::min(rel - u.size() - 3, l.size());
    return lines[k] + std::count(u.begin(), u.end(), '\n') + std::count(l.begin(), l.begin() + rel, '\n');
}

std::string where(const std::string& name, std::size_t line = 0) {
    return line ? name + ":" + std::to_string(line) + ": " : name + ": ";
}

}  // namespace

std::optional<DeckFormat> FormatNamed(std::string_view word) {
    std::string w(word);
    for (char& c : w) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    if (w == "rvm") return DeckFormat::Rvm;
    if (w == "tsv") return DeckFormat::Tsv;
    if (w == "csv") return DeckFormat::Csv;
    return std::nullopt;
}

std::optional<DeckFormat> FormatOfPath(std::string_view path) {
    const auto dot = path.find_last_of('.');
    if (dot == std::string_view::npos || path.find_first_of("/\\", dot) != std::string_view::npos)
        return std::nullopt;
    return FormatNamed(path.substr(dot + 1));
}

std::string TableText(const std::vector<Page>& pages, const std::vector<int>& rows, char separator) {
    std::size_t size = 0;
    for (int s : rows) size += pages[s].question.size() + pages[s].answer.size() + 8;
    std::string out;
    out.reserve(size);
    auto put = [&](const std::string& t) {
        if (findAny(t, 0, separator, '"', '\r', '\n') == t.size()) {
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
        put(pages[s].question);
        out += separator;
        put(pages[s].answer);
        out += '\n';
    }
    return out;
}

bool ParseTable(std::string_view text, char separator, Table& t, TableError& error) {
    t = Table{};
    auto fail = [&](int status, std::size_t line, std::string message) {
        error = {status, line, std::move(message)};
        return false;
    };
    const std::size_t n = text.size();
    std::size_t pos = text.starts_with("\xEF\xBB\xBF") ? 3 : 0;  // spreadsheets' UTF-8 mark
    std::size_t line = 1;
    auto isBreak = [&](std::size_t i) { return text[i] == '\r' || text[i] == '\n'; };
    auto skipBreak = [&] {
        if (text[pos] == '\r' && pos + 1 < n && text[pos + 1] == '\n') ++pos;
        ++pos;
        ++line;
    };
    std::string extra;
    while (pos < n) {
        if (isBreak(pos)) {  // a blank line is no page
            skipBreak();
            continue;
        }
        if (t.upper.size() == static_cast<std::size_t>(kMaxPages))
            return fail(kConvertTooManyPages, line, kTooManyPages);
        t.lines.push_back(line);
        for (std::size_t column = 0;; ++column) {
            if (column == 2 && !t.extraColumnsLine) t.extraColumnsLine = line;
            std::string& field = column == 0 ? t.upper.emplace_back() : column == 1 ? t.lower.emplace_back() : extra;
            field.clear();
            if (pos < n && text[pos] == '"') {
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
            } else {
                const std::size_t stop = findAny(text, pos, separator, '\r', '\n');
                field.append(text, pos, stop - pos);
                pos = stop;
            }
            if (column >= 2) {
                if (std::size_t bad = firstBadUtf8(field); bad != std::string_view::npos)
                    return fail(kConvertRefused, line, badUtf8(field[bad]));
            }
            if (pos < n && text[pos] == separator) {
                ++pos;
                continue;
            }
            if (column == 0) t.lower.emplace_back();
            if (pos < n) skipBreak();
            break;
        }
    }
    if (t.upper.empty()) return fail(kConvertRefused, 0, "空のファイルです。");
    return true;
}

Converted ConvertDeck(const std::string& input, const ConvertOptions& o) {
    Converted r;
    auto refuse = [&](int status, std::string message) {
        r.status = status;
        r.bytes.clear();
        r.messages.push_back(std::move(message));
        return r;
    };
    if ((o.from == DeckFormat::Rvm) == (o.to == DeckFormat::Rvm))
        return refuse(kConvertUsage, "*.rvm と TSV/CSV のあいだで変換します。");

    if (o.from == DeckFormat::Rvm) {
        std::vector<std::string> records;
        const bool split = SplitRecords(input, records);
        if (split && records.size() / 3 > static_cast<std::size_t>(kMaxPages))
            return refuse(kConvertTooManyPages, where(o.inputName) + kTooManyPages);
        Deck deck;
        if (!split || !BuildDeck(records, deck)) return refuse(kConvertRefused, where(o.inputName) + kNotADeck);
        if (o.storageOrder) std::iota(deck.displayOrder.begin(), deck.displayOrder.end(), 0);
        r.bytes = TableText(deck.pages, deck.displayOrder, separatorOf(o.to));
        return r;
    }

    Table t;
    TableError e;
    if (!ParseTable(input, separatorOf(o.from), t, e)) return refuse(e.status, where(o.inputName, e.line) + e.message);
    if (t.extraColumnsLine)
        r.messages.push_back(where(o.inputName, t.extraColumnsLine) + "警告: 3列目から先は読み込みません。");
    // The rows become the pages, in storage and display order alike.
    Deck deck;
    deck.pages.reserve(t.upper.size());
    for (std::size_t k = 0; k < t.upper.size(); ++k)
        deck.pages.push_back({std::move(t.upper[k]), std::move(t.lower[k])});
    deck.displayOrder.resize(deck.pages.size());
    std::iota(deck.displayOrder.begin(), deck.displayOrder.end(), 0);
    std::vector<std::size_t> pageStarts, marks;
    const std::string text = DeckText(deck, &pageStarts, &marks);
    cp932::Encoded enc = cp932::encode(text);
    // The encoder stops at every byte it cannot take, so the input is
    // checked for well-formed UTF-8 only where it stopped.
    for (std::size_t at : enc.unmappable) {
        const std::string_view rest = std::string_view(text).substr(at, 4);
        if (firstBadUtf8(rest) == 0)
            return refuse(kConvertRefused, where(o.inputName, tableLine(deck, t.lines, pageStarts, at)) + badUtf8(text[at]));
    }

    // Every character the deck cannot hold, in text order, each on its line.
    std::vector<std::size_t> lost = marks;
    lost.insert(lost.end(), enc.unmappable.begin(), enc.unmappable.end());
    std::sort(lost.begin(), lost.end());
    for (std::size_t i = 0; i < lost.size() && i < kShownProblems; ++i) {
        const bool mark = std::binary_search(marks.begin(), marks.end(), lost[i]);
        r.messages.push_back(where(o.inputName, tableLine(deck, t.lines, pageStarts, lost[i])) + "警告: " +
                             (mark ? std::string("行頭の U+001F") : describeChar(text, lost[i])) +
                             " は *.rvm ファイルに保存できない文字です。" +
                             (o.lossy ? "「?」に置き換えました。" : ""));
    }
    if (lost.size() > kShownProblems)
        r.messages.push_back(where(o.inputName) + "警告: 保存できない文字はほかに " +
                             std::to_string(lost.size() - kShownProblems) + " 文字あります。");
    if (!lost.empty() && !o.lossy)
        return refuse(kConvertRefused, where(o.outputName) +
                                           "保存できない文字があるため書き込みませんでした。"
                                           "--lossy を付けると「?」に置き換えて書き込みます。");
    r.bytes = std::move(enc.bytes);
    return r;
}

}  // namespace rvm
