#include "DeckExchange.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <numeric>

#include "Cp932.h"
#include "DeckFile.h"
#include "HtmlFields.h"
#include "TableDialects.h"
#include "deck/Module1.h"

namespace rvm {
namespace {

const char* const kNotADeck = "適当な *.rvm ファイルでありません。";
constexpr std::size_t kShownProblems = 10;

std::string lower(std::string_view s) {
    std::string w(s);
    for (char& c : w) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return w;
}

std::string_view trim(std::string_view s) {
    while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
    while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
    return s;
}

// The table side of a conversion, from the options and the program's preset.
struct Dialect {
    TableDialect table;
    bool html = false;
    TextEncoding encoding = TextEncoding::Detect;
};

Dialect dialectOf(const ConvertOptions& o, DeckFormat format, bool writing) {
    const TableProgram p = o.program;
    Dialect d;
    d.table.separator = format == DeckFormat::Csv ? ',' : '\t';
    d.table.quoted = !(o.plain || p == TableProgram::Mnemosyne || p == TableProgram::Kde);
    d.html = o.html || p == TableProgram::Anki || p == TableProgram::Mnemosyne;
    d.encoding = o.encoding != TextEncoding::Detect      ? o.encoding
                 : writing && p == TableProgram::Excel ? TextEncoding::Cp932
                                                         : TextEncoding::Detect;
    return d;
}

// The first line of text, without its line end, and the length with it.
std::string_view firstLine(std::string_view text, std::size_t& length) {
    const std::size_t end = std::min(text.find_first_of("\r\n"), text.size());
    length = end + (end < text.size()) + (text.substr(end).starts_with("\r\n"));
    return text.substr(0, end);
}

// Takes in one of the #key:value lines Anki writes above its rows: the
// separator, whether fields are HTML, and which columns hold no text.
// Returns true when it named a separator this reader knows.
bool ankiHeader(std::string_view line, Dialect& d) {
    const std::size_t colon = line.find(':');
    if (colon == std::string_view::npos) return false;
    const std::string key = lower(trim(line.substr(1, colon - 1)));
    const std::string_view value = trim(line.substr(colon + 1));
    if (key == "separator") {
        const std::string names[] = {"comma", "semicolon", "tab", "space", "pipe", "colon"};
        const char chars[] = {',', ';', '\t', ' ', '|', ':'};
        for (int k = 0; k < 6; ++k) {
            if (lower(value) == names[k]) {
                d.table.separator = chars[k];
                return true;
            }
        }
        if (value.size() == 1) d.table.separator = value[0];
        return value.size() == 1;
    }
    if (key == "html") d.html = lower(value) == "true";
    if (key.ends_with(" column")) {
        const int column = std::atoi(std::string(value).c_str());
        if (column >= 1 && column <= 32) d.table.otherColumns |= std::uint32_t{1} << (column - 1);
    }
    return false;
}

// Skips the lines a program writes above its rows and returns the rest;
// lines counts the lines skipped. Anki's header lines may pin the separator.
std::string_view skipHeaderLines(std::string_view text, TableProgram p, Dialect& d, std::size_t& lines,
                                 bool& separatorPinned) {
    for (lines = 0;; ++lines) {
        std::size_t length;
        const std::string_view line = firstLine(text, length);
        if (p == TableProgram::Kde) {
            if (!line.starts_with("Title:") && !line.starts_with("Author:")) break;
        } else if (p == TableProgram::Anki && line.starts_with('#')) {
            separatorPinned |= ankiHeader(line, d);
        } else if (!(p == TableProgram::Anki && lines == 0 && line.starts_with("tags:"))) {
            break;
        }
        text.remove_prefix(length);
    }
    return text;
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

// The table line that holds the byte at offset of the deck text made from t.
// Fields read as HTML hold line breaks that were no lines of the table, so
// there a field's first line stands for all of it.
std::size_t tableLine(const Table& t, bool html, const std::vector<std::size_t>& pageStarts, std::size_t at) {
    const auto k = static_cast<std::size_t>(std::upper_bound(pageStarts.begin(), pageStarts.end(), at) -
                                            pageStarts.begin() - 1);
    if (html) return t.lines[k];
    std::size_t rel = at - pageStarts[k] - 1;
    const std::string& u = t.upper[k];
    const std::string& l = t.lower[k];
    if (rel < u.size()) return t.lines[k] + std::count(u.begin(), u.begin() + rel, '\n');
    rel = std::min(rel - u.size() - 3, l.size());
    return t.lines[k] + std::count(u.begin(), u.end(), '\n') + std::count(l.begin(), l.begin() + rel, '\n');
}

// The line, from 1, that holds the byte at offset; a line ends at CR LF, CR or LF.
std::size_t physicalLine(std::string_view text, std::size_t offset) {
    std::size_t line = 1;
    for (std::size_t i = 0; i < offset; ++i)
        if (text[i] == '\n' || (text[i] == '\r' && text[i + 1] != '\n')) ++line;
    return line;
}

std::string where(const std::string& name, std::size_t line = 0) {
    return line ? name + ":" + std::to_string(line) + ": " : name + ": ";
}

const char* separatorName(char c) { return c == '\t' ? "タブ" : c == ',' ? "カンマ" : "区切り文字"; }

// Plain tables have no way to hold the separator or a line break in a
// field: each is named with the line it would go out on, and with lossy
// replaced by a space. Returns false when the table cannot be written.
bool keepPlainFieldsPlain(std::vector<std::string>& upper, std::vector<std::string>& lower,
                          const std::vector<int>& rows, char separator, std::size_t firstLine,
                          const ConvertOptions& o, bool html, std::vector<std::string>& messages) {
    std::size_t problems = 0;
    bool breaks = false;
    const char bad[] = {separator, '\r', '\n', '\0'};
    for (std::size_t r = 0; r < rows.size(); ++r) {
        for (int column = 0; column < 2; ++column) {
            std::string& t = (column == 0 ? upper : lower)[rows[r]];
            const bool hasSeparator = t.find(separator) != std::string::npos;
            const bool hasBreak = t.find_first_of("\r\n") != std::string::npos;
            for (int kind = 0; kind < 2; ++kind) {
                if (!(kind == 0 ? hasSeparator : hasBreak)) continue;
                breaks |= kind == 1;
                if (problems++ < kShownProblems)
                    messages.push_back(where(o.outputName, firstLine + r) + "警告: " + (column ? "答え" : "問題") +
                                       "の" + (kind ? "改行" : separatorName(separator)) +
                                       "は引用符なしの表に書けない文字です。" +
                                       (o.lossy ? "空白に置き換えました。" : ""));
            }
            if (!o.lossy || (!hasSeparator && !hasBreak)) continue;
            std::string spaced;
            for (std::size_t i = 0; i < t.size(); ++i) {
                if (t[i] == '\r' && i + 1 < t.size() && t[i + 1] == '\n') continue;  // CR LF is one line break
                spaced += std::string_view(bad).find(t[i]) != std::string_view::npos ? ' ' : t[i];
            }
            t = std::move(spaced);
        }
    }
    if (problems > kShownProblems)
        messages.push_back(where(o.outputName) + "警告: 書けない" + separatorName(separator) +
                           "と改行はほかに " + std::to_string(problems - kShownProblems) + " 個あります。");
    if (!problems || o.lossy) return true;
    messages.push_back(where(o.outputName) + separatorName(separator) +
                       "か改行のある欄があるため書き込みませんでした。--lossy を付けると空白に置き換えて書き込みます。" +
                       (breaks && !html ? "改行は --html で <br> にもできます。" : ""));
    return false;
}

// What a program's own reader would do to a page that no table can keep
// from it, or nothing. Mnemosyne refuses the whole file for an empty
// question or a blank answer (it strips the line's end). KWordQuiz and
// Parley drop a page with neither, and pack every run of blanks, the
// full-width space too, into one half-width space.
std::string programLoss(TableProgram p, const std::string& q, const std::string& a) {
    auto blank = [](const std::string& t) {
        std::string_view rest = t;
        while (rest.starts_with(' ') || rest.starts_with("\xE3\x80\x80")) rest.remove_prefix(rest[0] == ' ' ? 1 : 3);
        return rest.empty();
    };
    auto packed = [](const std::string& t) {
        return t.find("\xE3\x80\x80") == std::string::npos && t.find("  ") == std::string::npos &&
               !t.starts_with(' ') && !t.ends_with(' ');
    };
    auto which = [](bool inQ, bool inA) { return std::string(inQ && inA ? "問題と答え" : inQ ? "問題" : "答え"); };
    if (p == TableProgram::Mnemosyne && (q.empty() || blank(a)))
        return which(q.empty(), blank(a)) + "が空です。Mnemosyne はこのファイルを読み込みません。";
    if (p == TableProgram::Kde && blank(q) && blank(a))
        return "問題も答えも空のページは KWordQuiz と Parley に読み込まれません。";
    if (p == TableProgram::Kde && !(packed(q) && packed(a)))
        return which(!packed(q), !packed(a)) + "の空白は KWordQuiz と Parley で変わります（前後の空白は消え、ほかは半角の空白1つになります）。";
    return {};
}

void warnProgramLosses(TableProgram p, const std::vector<std::string>& upper, const std::vector<std::string>& lower,
                       const std::vector<int>& rows, std::size_t firstLine, const std::string& output,
                       std::vector<std::string>& messages) {
    std::size_t pages = 0;
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const std::string loss = programLoss(p, upper[rows[r]], lower[rows[r]]);
        if (!loss.empty() && pages++ < kShownProblems)
            messages.push_back(where(output, firstLine + r) + "警告: " + loss);
    }
    if (pages > kShownProblems)
        messages.push_back(where(output) + "警告: 同じようなページはほかに " +
                           std::to_string(pages - kShownProblems) + " ページあります。");
}

Converted refused(Converted r, int status, std::string message) {
    r.status = status;
    r.bytes.clear();
    r.messages.push_back(std::move(message));
    return r;
}

Converted deckToTable(const std::string& input, const ConvertOptions& o) {
    Converted r;
    std::vector<std::string> records;
    const bool split = SplitRecords(input, records);
    if (split && records.size() / 3 > static_cast<std::size_t>(kMaxPages))
        return refused(std::move(r), kConvertTooManyPages, where(o.inputName) + kTooManyPages);
    DeckLists deck;
    if (!split || !BuildDeck(records, deck)) return refused(std::move(r), kConvertRefused, where(o.inputName) + kNotADeck);
    if (o.storageOrder) std::iota(deck.order.begin(), deck.order.end(), 0);

    const Dialect d = dialectOf(o, o.to, true);
    std::string header;
    if (o.program == TableProgram::Anki)
        header = std::string("#separator:") + (d.table.separator == ',' ? "comma" : "tab") +
                 "\n#html:" + (d.html ? "true" : "false") + "\n";
    if (d.html) {
        for (int s : deck.order) {
            deck.upper[s] = HtmlFromText(deck.upper[s]);
            deck.lower[s] = HtmlFromText(deck.lower[s]);
        }
    }
    const std::size_t firstLine = 1 + static_cast<std::size_t>(std::count(header.begin(), header.end(), '\n'));
    if (!d.table.quoted && !keepPlainFieldsPlain(deck.upper, deck.lower, deck.order, d.table.separator, firstLine,
                                                 o, d.html, r.messages)) {
        r.status = kConvertRefused;
        return r;
    }
    warnProgramLosses(o.program, deck.upper, deck.lower, deck.order, firstLine, o.outputName, r.messages);
    r.bytes = EncodeTable(header + TableText(deck.upper, deck.lower, deck.order, d.table), d.encoding);
    return r;
}

// A table read as UTF-8 without anyone saying so that turns out not to be
// is read again (notUtf8) as code page 932, as spreadsheets on a Japanese
// Windows save it.
Converted tableToDeck(const std::string& input, const ConvertOptions& o, bool notUtf8 = false) {
    Converted r;
    std::string storage;
    const DecodedTable decoded = DecodeTable(input, notUtf8 ? TextEncoding::Cp932 : o.encoding, storage);
    if (notUtf8 && decoded.notCp932) {
        const std::size_t bad = FirstBadUtf8(input);
        return refused(std::move(r), kConvertRefused,
                       where(o.inputName, physicalLine(input, bad)) + BadUtf8Message(input[bad]) +
                           "CP932 としても読めません。");
    }
    Dialect d = dialectOf(o, o.from, false);
    std::size_t headerLines = 0;
    bool separatorPinned = false;
    const std::string_view text = skipHeaderLines(decoded.text, o.program, d, headerLines, separatorPinned);
    // Spreadsheets save tab-separated text as .csv too.
    if (d.table.separator == ',' && !separatorPinned) {
        std::size_t length;
        const std::size_t start = text.find_first_not_of("\r\n");
        const std::string_view first = start == std::string_view::npos ? "" : firstLine(text.substr(start), length);
        if (first.find('\t') != std::string_view::npos && first.find(',') == std::string_view::npos) {
            d.table.separator = '\t';
            r.messages.push_back(where(o.inputName, headerLines + physicalLine(text, start)) +
                                 "警告: 最初の行にカンマがなくタブがあるので、タブ区切りとして読みます。");
        }
    }
    Table t;
    TableError e;
    if (!ParseTable(text, d.table, headerLines + 1, t, e)) {
        if (e.badUtf8 && decoded.guessed) return tableToDeck(input, o, true);
        return refused(std::move(r), e.status, where(o.inputName, e.line) + e.message);
    }
    if (t.quoteOverTabLine)
        r.messages.push_back(where(o.inputName, t.quoteOverTabLine) +
                             "警告: 引用符（\"）で始まる欄がタブを越えて続いています。"
                             "引用符を普通の文字として読むには --plain を付けてください。");
    if (t.extraColumnsLine) {
        std::size_t next = d.table.answerColumn() + 1;
        while (d.table.isOther(next)) ++next;
        r.messages.push_back(where(o.inputName, t.extraColumnsLine) + "警告: " + std::to_string(next + 1) +
                             "列目から先は読み込みません。");
    }
    if (d.html) {
        // Mnemosyne writes an empty field as a lone <br>.
        auto fromHtml = [&](std::string& s) {
            s = o.program == TableProgram::Mnemosyne && s == "<br>" ? std::string() : TextFromHtml(s);
        };
        std::for_each(t.upper.begin(), t.upper.end(), fromHtml);
        std::for_each(t.lower.begin(), t.lower.end(), fromHtml);
    }
    std::vector<int> order(t.upper.size());
    std::iota(order.begin(), order.end(), 0);
    std::vector<std::size_t> pageStarts, marks;
    const std::string deckText = DeckText(t.upper, t.lower, order, &pageStarts, &marks);
    cp932::Encoded enc = cp932::encode(deckText);
    // The encoder stops at every byte it cannot take, so the input is
    // checked for well-formed UTF-8 only where it stopped.
    for (std::size_t at : enc.unmappable) {
        const std::string_view rest = std::string_view(deckText).substr(at, 4);
        if (FirstBadUtf8(rest) != 0) continue;
        if (decoded.guessed) return tableToDeck(input, o, true);
        return refused(std::move(r), kConvertRefused,
                           where(o.inputName, tableLine(t, d.html, pageStarts, at)) + BadUtf8Message(deckText[at]));
    }

    // Every character the deck cannot hold, in text order, each on its line.
    std::vector<std::size_t> lost = marks;
    lost.insert(lost.end(), enc.unmappable.begin(), enc.unmappable.end());
    std::sort(lost.begin(), lost.end());
    for (std::size_t i = 0; i < lost.size() && i < kShownProblems; ++i) {
        const bool mark = std::binary_search(marks.begin(), marks.end(), lost[i]);
        r.messages.push_back(where(o.inputName, tableLine(t, d.html, pageStarts, lost[i])) + "警告: " +
                             (mark ? std::string("行頭の U+001F") : describeChar(deckText, lost[i])) +
                             " は *.rvm ファイルに保存できない文字です。" +
                             (o.lossy ? "「?」に置き換えました。" : ""));
    }
    if (lost.size() > kShownProblems)
        r.messages.push_back(where(o.inputName) + "警告: 保存できない文字はほかに " +
                             std::to_string(lost.size() - kShownProblems) + " 文字あります。");
    if (!lost.empty() && !o.lossy)
        return refused(std::move(r), kConvertRefused,
                       where(o.outputName) +
                           "保存できない文字があるため書き込みませんでした。"
                           "--lossy を付けると「?」に置き換えて書き込みます。");
    r.bytes = std::move(enc.bytes);
    return r;
}

}  // namespace

std::optional<DeckFormat> FormatNamed(std::string_view word) {
    const std::string w = lower(word);
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

std::optional<TableProgram> ProgramNamed(std::string_view word) {
    const std::string w = lower(word);
    if (w == "excel") return TableProgram::Excel;
    if (w == "anki") return TableProgram::Anki;
    if (w == "mnemosyne") return TableProgram::Mnemosyne;
    if (w == "kde") return TableProgram::Kde;
    return std::nullopt;
}

DeckFormat TableFormatOf(TableProgram program) {
    return program == TableProgram::Excel ? DeckFormat::Csv : DeckFormat::Tsv;
}

Converted ConvertDeck(const std::string& input, const ConvertOptions& o) {
    if ((o.from == DeckFormat::Rvm) == (o.to == DeckFormat::Rvm))
        return refused({}, kConvertUsage, "*.rvm と TSV/CSV のあいだで変換します。");
    return o.from == DeckFormat::Rvm ? deckToTable(input, o) : tableToDeck(input, o);
}

}  // namespace rvm
