#include "DeckExchange.h"

#include <algorithm>
#include <cstdio>
#include <numeric>

#include "Cp932.h"
#include "DeckFile.h"
#include "HtmlFields.h"
#include "Xlsx.h"
#include "deck/Deck.h"

namespace rvm {
namespace {

constexpr std::size_t kShownProblems = 10;
constexpr std::size_t kHeadBytes = std::size_t{1} << 16;

// The table side of a conversion, from the options and the program's preset.
TableDialect dialectOf(const ConvertOptions& o, DeckFormat format) {
    const TableProgram p = o.program;
    TableDialect d;
    d.separator = format == DeckFormat::Csv ? ',' : '\t';
    d.quoted = !(o.plain || p == TableProgram::Mnemosyne || p == TableProgram::Kde);
    d.html = o.html || p == TableProgram::Anki || p == TableProgram::Mnemosyne;
    if (p == TableProgram::Anki) d.comment = '#';
    return d;
}

// "「X」(U+XXXX)", or the code alone for a control character.
std::string describeChar(const std::string& text, std::size_t at) {
    std::size_t len;
    const char32_t cp = CodePointAt(text, at, len);
    char code[16];
    std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(cp));
    if (cp < 0x20 || cp == 0x7F) return code;
    return "「" + text.substr(at, len) + "」(" + code + ")";
}

// The line, from 1, that holds the byte at offset; a line ends at CR LF, CR or LF.
std::size_t physicalLine(std::string_view text, std::size_t offset) {
    std::size_t line = 1;
    for (std::size_t i = 0; i < offset; ++i)
        if (text[i] == '\n' || (text[i] == '\r' && (i + 1 == text.size() || text[i + 1] != '\n'))) ++line;
    return line;
}

std::string where(const std::string& name, std::size_t line = 0) {
    return line ? name + ":" + std::to_string(line) + ": " : name + ": ";
}

const char* separatorName(char c) { return c == '\t' ? "タブ" : c == ',' ? "カンマ" : "区切り文字"; }

// Plain tables have no way to hold the separator or a line break in a
// field: each is named with the line it would go out on, and with lossy
// replaced by a space. Returns false when the table cannot be written.
bool keepPlainFieldsPlain(std::vector<Page>& pages, const std::vector<int>& rows, char separator, std::size_t firstLine,
                          const ConvertOptions& o, bool html, ConvertReport& report) {
    std::vector<std::string>& messages = report.messages;
    std::size_t problems = 0;
    bool breaks = false;
    for (std::size_t r = 0; r < rows.size(); ++r) {
        bool pageSeparator = false, pageBreak = false;
        for (int column = 0; column < 2; ++column) {
            std::string& t = column == 0 ? pages[rows[r]].question : pages[rows[r]].answer;
            const bool hasSeparator = t.find(separator) != std::string::npos;
            const bool hasBreak = t.find_first_of("\r\n") != std::string::npos;
            pageSeparator |= hasSeparator;
            pageBreak |= hasBreak;
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
                spaced += t[i] == separator || t[i] == '\r' || t[i] == '\n' ? ' ' : t[i];
            }
            t = std::move(spaced);
        }
        if (report.unwritablePage < 0 && (pageSeparator || pageBreak)) {
            report.unwritablePage = rows[r];
            report.unwritable = pageBreak ? (pageSeparator ? separatorName(separator) + std::string("と改行") : "改行")
                                          : separatorName(separator);
        }
    }
    report.unsavable = problems > 0;
    if (problems > kShownProblems)
        messages.push_back(where(o.outputName) + "警告: 書けない" + separatorName(separator) +
                           "と改行はほかに " + std::to_string(problems - kShownProblems) + " 個あります。");
    if (!problems || o.lossy) return true;
    messages.push_back(where(o.outputName) + separatorName(separator) +
                       "か改行のある欄があるため書き込みませんでした。--lossy を付けると空白に置き換えて書き込みます。" +
                       (breaks && !html ? "改行は --html で <br> にもできます。" : ""));
    return false;
}

void warnProgramLosses(TableProgram p, const std::vector<Page>& pages, const std::vector<int>& rows,
                       std::size_t firstLine, const std::string& output, std::vector<std::string>& messages) {
    std::size_t losing = 0;
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const std::string loss = ProgramLoss(p, pages[rows[r]].question, pages[rows[r]].answer);
        if (!loss.empty() && losing++ < kShownProblems)
            messages.push_back(where(output, firstLine + r) + "警告: " + loss);
    }
    if (losing > kShownProblems)
        messages.push_back(where(output) + "警告: 同じようなページはほかに " +
                           std::to_string(losing - kShownProblems) + " ページあります。");
}

// A field a spreadsheet opening a CSV takes for a formula or a number,
// showing something other than its text: =1+2, +81, @x, 001234, 1/2.
bool spreadsheetReadsOtherwise(std::string_view t) {
    if (t.empty()) return false;
    if (std::string_view("=+-@").find(t[0]) != std::string_view::npos) return true;
    // Digits with a leading zero, or a date: two or three groups of digits
    // joined by / or -.
    if (t.find_first_not_of("0123456789") == std::string_view::npos) return t.size() > 1 && t[0] == '0';
    int groups = 0;
    for (std::size_t at = 0; at <= t.size(); ++groups) {
        const std::size_t end = std::min(t.find_first_of("/-", at), t.size());
        if (end == at || end - at > 4 || t.substr(at, end - at).find_first_not_of("0123456789") != std::string_view::npos)
            return false;
        at = end + 1;
    }
    return groups <= 3;
}

// Told once, with the first such field: a CSV cannot say "this is text".
void warnSpreadsheetReadings(const std::vector<Page>& pages, const std::vector<int>& rows, std::size_t firstLine,
                             const std::string& output, std::vector<std::string>& messages) {
    std::size_t count = 0;
    std::string first;
    for (std::size_t r = 0; r < rows.size(); ++r) {
        for (const bool answer : {false, true}) {
            const std::string& t = answer ? pages[rows[r]].answer : pages[rows[r]].question;
            if (!spreadsheetReadsOtherwise(t) || count++) continue;
            std::size_t shown = std::min<std::size_t>(t.size(), 40);
            while (shown < t.size() && (t[shown] & 0xC0) == 0x80) --shown;  // whole characters
            first = where(output, firstLine + r) + "警告: " + (answer ? "答え" : "問題") + "「" + t.substr(0, shown) +
                    "」のような欄は、表計算ソフトで開くと数式や数値として読まれ、その文字のままでは表示されません。";
        }
    }
    if (count > 1) first += "同じような欄はほかに " + std::to_string(count - 1) + " 欄あります。";
    if (count) messages.push_back(first);
}

void refuse(ConvertReport& r, int status, std::string message) {
    r.status = status;
    r.messages.push_back(std::move(message));
}

// How far reading a table into a deck came.
enum class Step { Done, Refused, AgainAsCp932 };

// Takes the pages read from a table, one at a time, into the deck file:
// names each character the file cannot hold with the table line it came
// from, and refuses them, or with lossy puts "?" in their place as the file
// would. A page becomes what the file reads back; with fileBytes, the file's
// bytes go there instead and the pages stay as they were read.
class DeckFileKeeper {
public:
    DeckFileKeeper(const ConvertOptions& o, bool html, bool guessed, std::string* fileBytes)
        : o_(o), html_(html), guessed_(guessed), fileBytes_(fileBytes) {}

    // The page of the row that starts on line.
    Step take(Page& page, std::size_t line, ConvertReport& r) {
        text_.clear();
        marks_.clear();
        // A page of the deck is read back from a file of that page alone.
        AppendPageRecords(text_, page, fileBytes_ ? pages_ : 0, &marks_);
        ++pages_;
        cp932::Encoded enc = cp932::encode(text_);
        // The encoder stops at every byte it cannot take, so the input is
        // checked for well-formed UTF-8 only where it stopped.
        for (std::size_t at : enc.unmappable) {
            if (FirstBadUtf8(std::string_view(text_).substr(at, 4)) != 0) continue;
            if (guessed_) return Step::AgainAsCp932;
            refuse(r, kConvertRefused, where(o_.inputName, lineOf(page, line, at)) + BadUtf8Message(text_[at]));
            return Step::Refused;
        }
        // Every character the deck cannot hold, in text order, each on its line.
        std::vector<std::size_t> lost = marks_;
        lost.insert(lost.end(), enc.unmappable.begin(), enc.unmappable.end());
        std::sort(lost.begin(), lost.end());
        for (std::size_t at : lost) {
            if (lost_++ >= kShownProblems) continue;
            const bool mark = std::binary_search(marks_.begin(), marks_.end(), at);
            warnings_.push_back(where(o_.inputName, lineOf(page, line, at)) + "警告: " +
                                (mark ? std::string("行頭の U+001F") : describeChar(text_, at)) +
                                " は *.rvm ファイルに保存できない文字です。" +
                                (o_.lossy ? "「?」に置き換えました。" : ""));
        }
        if (lost_ && !o_.lossy) return Step::Done;  // refused once every line is named
        // The deck holds what its file will read back: "?" for each character
        // lost, and code page 932's one form of a character Unicode has more
        // of (〜 reads back as ～).
        if (fileBytes_) fileBytes_->append(enc.bytes);
        else if (!lost.empty() || cp932::decode(enc.bytes) != text_) page = ReadDeckBytes(enc.bytes).deck.pages[0];
        return Step::Done;
    }

    // Tells what was lost, after what the reader told; refuses it unless lossy.
    Step finish(ConvertReport& r) {
        r.messages.insert(r.messages.end(), warnings_.begin(), warnings_.end());
        if (lost_ > kShownProblems)
            r.messages.push_back(where(o_.inputName) + "警告: 保存できない文字はほかに " +
                                 std::to_string(lost_ - kShownProblems) + " 文字あります。");
        r.unsavable = lost_ > 0;
        if (!lost_ || o_.lossy) return Step::Done;
        refuse(r, kConvertRefused,
               where(o_.outputName) +
                   "保存できない文字があるため書き込みませんでした。"
                   "--lossy を付けると「?」に置き換えて書き込みます。");
        return Step::Refused;
    }

private:
    // The table line that holds the byte at offset of the page's records.
    // Fields read as HTML hold line breaks that were no lines of the table,
    // so there a field's first line stands for all of it.
    std::size_t lineOf(const Page& page, std::size_t line, std::size_t at) const {
        if (html_) return line;
        const std::string& u = page.question;
        const std::string& l = page.answer;
        std::size_t rel = at - 1;
        if (rel < u.size()) return line + std::count(u.begin(), u.begin() + rel, '\n');
        rel = std::min(rel - u.size() - 3, l.size());
        return line + std::count(u.begin(), u.end(), '\n') + std::count(l.begin(), l.begin() + rel, '\n');
    }

    const ConvertOptions& o_;
    const bool html_, guessed_;
    std::string* const fileBytes_;
    std::string text_;  // the page's records
    std::vector<std::size_t> marks_;
    std::vector<std::string> warnings_;
    std::size_t lost_ = 0;
    int pages_ = 0;
};

// Reads on to the end of source, onto bytes; the fault when it cannot.
std::optional<FileFault> readOn(TableSource& source, std::string& bytes) {
    std::optional<FileFault> fault;
    while (source.next(bytes, fault)) {
    }
    return fault;
}

Step refuseFault(ConvertReport& r, const FileFault& fault) {
    r.status = FaultStatus(fault);
    r.fault = fault;
    return Step::Refused;
}

// A table's text as it is read and decoded, piece by piece: what has come
// and is not read yet.
class IncomingText {
public:
    // notUtf8: read as code page 932 after UTF-8 was guessed wrongly, so
    // bytes that are neither are refused.
    IncomingText(TableSource& source, bool notUtf8, TextEncoding encoding)
        : source_(source), decoder_(notUtf8 ? TextEncoding::Cp932 : encoding), encoding_(encoding),
          notUtf8_(notUtf8) {}

    // The first piece, or the next, onto text; refuses what cannot be read or decoded.
    Step more(const ConvertOptions& o, ConvertReport& r) {
        std::optional<FileFault> fault = started_ ? std::nullopt : source_.start();
        started_ = true;
        const bool got = !fault && source_.next(bytes_, fault);
        if (fault) return refuseFault(r, *fault);
        decoder_.take(bytes_, !got, text);
        atEnd = !got;
        if (!(notUtf8_ && decoder_.notCp932) && decoder_.badUtf16.empty()) return Step::Done;
        // Told alone, whatever was said of what came before, and with the line
        // it is on in the whole table, which is read again for it.
        r.messages.clear();
        std::string all;
        if ((fault = source_.start()) || (fault = readOn(source_, all))) return refuseFault(r, *fault);
        if (!decoder_.badUtf16.empty()) {
            std::string good;
            TableDecoder(encoding_).take(all, true, good);
            refuse(r, kConvertRefused, where(o.inputName, physicalLine(good, good.size())) + decoder_.badUtf16);
        } else {
            const std::size_t bad = FirstBadUtf8(all);
            refuse(r, kConvertRefused,
                   where(o.inputName, physicalLine(all, bad)) + BadUtf8Message(all[bad]) + "CP932 としても読めません。");
        }
        return Step::Refused;
    }
    bool guessed() const { return decoder_.guessed; }

    std::string text;
    bool atEnd = false;

private:
    TableSource& source_;
    TableDecoder decoder_;
    const TextEncoding encoding_;
    const bool notUtf8_;
    bool started_ = false;
    std::string bytes_;  // read, not decoded yet
};

// A workbook's rows as a deck; a cell's first line stands for all of it.
std::optional<Deck> workbookToDeck(const std::string& input, const ConvertOptions& o, ConvertReport& report,
                                   std::string* fileBytes) {
    Deck deck;
    std::vector<std::size_t> lines;
    std::string error;
    if (!RowsFromXlsx(input, deck.pages, lines, error)) {
        const bool tooMany = error == kTooManyPages;
        refuse(report, tooMany ? kConvertTooManyPages : kConvertRefused,
               where(o.inputName, tooMany ? lines.back() : 0) + error);
        return std::nullopt;
    }
    DeckFileKeeper keeper(o, true, false, fileBytes);
    for (std::size_t k = 0; k < deck.pages.size(); ++k)
        if (keeper.take(deck.pages[k], lines[k], report) != Step::Done) return std::nullopt;
    if (keeper.finish(report) != Step::Done) return std::nullopt;
    deck.displayOrder.resize(deck.pages.size());
    std::iota(deck.displayOrder.begin(), deck.displayOrder.end(), 0);
    return deck;
}

// The rows of a table into deck's pages, or with fileBytes into the deck
// file's bytes, a piece of the table at a time. Read again (notUtf8) as code
// page 932, bytes that are not would be refused.
Step readTable(TableSource& source, const ConvertOptions& o, bool notUtf8, Deck& deck, std::string* fileBytes,
               ConvertReport& r) {
    IncomingText in(source, notUtf8, o.encoding);
    // The lines above the rows and the first row, as far as the table's
    // first kHeadBytes hold them, decide the dialect.
    do {
        if (in.more(o, r) != Step::Done) return Step::Refused;
    } while (!in.atEnd && in.text.size() < kHeadBytes);
    TableDialect d = dialectOf(o, o.from);
    std::size_t headerLines;
    bool separatorPinned;
    const std::string_view text = SkipHeaderLines(in.text, o.program, d, headerLines, separatorPinned);
    // Spreadsheets save tab-separated text as .csv too.
    if (d.separator == ',' && !separatorPinned) {
        const std::size_t start = std::min(text.find_first_not_of("\r\n"), text.size());
        if (TabSeparatedRow(text.substr(start))) {
            d.separator = '\t';
            r.messages.push_back(where(o.inputName, headerLines + physicalLine(text, start)) +
                                 "警告: 最初の行にカンマがなくタブがあるので、タブ区切りとして読みます。");
        }
    }
    in.text.erase(0, in.text.size() - text.size());
    if (fileBytes) {
        // Room for the whole file at once, which never takes more than two
        // bytes for each of the table's (a line feed becomes CR LF) and a few
        // for each page: a string that grows holds its old and new room
        // together for a moment.
        fileBytes->clear();
        fileBytes->reserve(2 * source.size() + 16 * static_cast<std::size_t>(kMaxPages));
    }
    TableReader rows(d, headerLines + 1);
    DeckFileKeeper keeper(o, d.html, in.guessed(), fileBytes);
    Page page;
    std::size_t line;
    TableError e;
    for (;;) {
        const TableReader::Result result = rows.next(in.text, in.atEnd, page, line, e);
        if (result == TableReader::End) break;
        if (result == TableReader::More) {
            in.text.erase(0, rows.takeUsed());
            if (in.more(o, r) != Step::Done) return Step::Refused;
            continue;
        }
        if (result == TableReader::Failed) {
            if (e.badUtf8 && in.guessed()) return Step::AgainAsCp932;
            refuse(r, e.status, where(o.inputName, e.line) + e.message);
            return Step::Refused;
        }
        if (d.html) {
            // Mnemosyne writes an empty field as a lone <br>.
            for (std::string* s : {&page.question, &page.answer})
                *s = o.program == TableProgram::Mnemosyne && *s == "<br>" ? std::string() : TextFromHtml(*s);
        }
        if (const Step step = keeper.take(page, line, r); step != Step::Done) return step;
        // A copy exactly as long as its texts: the page read has room to spare.
        if (!fileBytes) deck.pages.push_back({page.question, page.answer});
    }
    if (rows.quoteOverTabLine) {
        // A window's user has no switches: there the table type does what --plain does.
        const char* remedy = o.inWindow ? "引用符を普通の文字として読むには、ファイルの種類に KWordQuiz/Parley を選んでください。"
                                        : "引用符を普通の文字として読むには --plain を付けてください。";
        r.messages.push_back(where(o.inputName, rows.quoteOverTabLine) +
                             "警告: 引用符（\"）で始まる欄がタブを越えて続いています。" + remedy);
    }
    if (rows.extraColumnsLine) {
        std::size_t next = d.answerColumn() + 1;
        while (d.isOther(next)) ++next;
        r.messages.push_back(where(o.inputName, rows.extraColumnsLine) + "警告: " + std::to_string(next + 1) +
                             "列目から先は読み込みません。");
    }
    return keeper.finish(r);
}

// TableToDeck, or with fileBytes TableToDeckFile.
std::optional<Deck> tableToDeck(TableSource& source, const ConvertOptions& options, ConvertReport& report,
                                std::string* fileBytes) {
    report = {};
    ConvertOptions o = options;
    if (o.from == DeckFormat::Xlsx) {
        // Excel's own type in a dialog also opens the CSV files Excel saves.
        std::string bytes;
        std::optional<FileFault> fault = source.start();
        while (!fault && bytes.size() < 4 && source.next(bytes, fault)) {
        }
        if (!fault && bytes.starts_with("PK\x03\x04")) fault = readOn(source, bytes);
        if (fault) return refuseFault(report, *fault), std::nullopt;
        if (bytes.starts_with("PK\x03\x04")) return workbookToDeck(bytes, o, report, fileBytes);
        o.from = DeckFormat::Csv;
    }
    // A table read as UTF-8 without anyone saying so that turns out not to
    // be is read again as code page 932, as spreadsheets on a Japanese
    // Windows save it.
    for (const bool notUtf8 : {false, true}) {
        report = {};
        // The rows become the pages, in storage and display order alike.
        Deck deck;
        const Step step = readTable(source, o, notUtf8, deck, fileBytes, report);
        if (step == Step::Done) {
            deck.displayOrder.resize(deck.pages.size());
            std::iota(deck.displayOrder.begin(), deck.displayOrder.end(), 0);
            return deck;
        }
        if (step == Step::Refused) return std::nullopt;
    }
    return std::nullopt;  // read as code page 932, nothing is a guess
}

}  // namespace

namespace {
// The value a word names, in any case, from a table of names.
template <class T, std::size_t N>
std::optional<T> named(std::string_view word, const std::pair<std::string_view, T> (&names)[N]) {
    const std::string w = AsciiLower(word);
    for (const auto& [name, value] : names)
        if (w == name) return value;
    return std::nullopt;
}
}  // namespace

std::optional<DeckFormat> FormatNamed(std::string_view word) {
    static const std::pair<std::string_view, DeckFormat> names[] = {
        {"rvm", DeckFormat::Rvm}, {"tsv", DeckFormat::Tsv}, {"csv", DeckFormat::Csv}, {"xlsx", DeckFormat::Xlsx}};
    return named(word, names);
}

std::optional<DeckFormat> FormatOfPath(std::string_view path) {
    const auto dot = path.find_last_of('.');
    if (dot == std::string_view::npos || path.find_first_of("/\\", dot) != std::string_view::npos)
        return std::nullopt;
    return FormatNamed(path.substr(dot + 1));
}

std::optional<TableProgram> ProgramNamed(std::string_view word) {
    static const std::pair<std::string_view, TableProgram> names[] = {{"excel", TableProgram::Excel},
                                                                      {"anki", TableProgram::Anki},
                                                                      {"mnemosyne", TableProgram::Mnemosyne},
                                                                      {"kde", TableProgram::Kde}};
    return named(word, names);
}

DeckFormat TableFormatOf(TableProgram program) {
    if (program != TableProgram::Excel) return DeckFormat::Tsv;
    return XlsxAvailable() ? DeckFormat::Xlsx : DeckFormat::Csv;
}

int FaultStatus(const FileFault& fault) {
    return fault.kind == FileFault::TooManyPages ? kConvertTooManyPages : kConvertRefused;
}

std::optional<Deck> TableToDeck(TableSource& source, const ConvertOptions& o, ConvertReport& report) {
    return tableToDeck(source, o, report, nullptr);
}

std::optional<std::string> TableToDeckFile(TableSource& source, const ConvertOptions& o, ConvertReport& report) {
    std::string bytes;
    if (!tableToDeck(source, o, report, &bytes)) return std::nullopt;
    return bytes;
}

std::optional<std::string> DeckToTable(const Deck& deck, const ConvertOptions& o, ConvertReport& r) {
    r = {};
    std::vector<int> rows = deck.displayOrder;
    if (o.storageOrder) std::iota(rows.begin(), rows.end(), 0);
    if (o.to == DeckFormat::Xlsx) {
        // Text cells: a spreadsheet shows every field as it is, whatever it looks like.
        std::string error;
        auto book = XlsxFromRows(deck.pages, rows, error);
        if (!book) refuse(r, kConvertRefused, where(o.outputName) + error);
        return book;
    }
    const TableDialect d = dialectOf(o, o.to);
    const std::string header = HeaderLines(o.program, d);
    // HTML and plain tables hold texts of their own; the deck stays as it is.
    std::vector<Page> changed;
    if (d.html || !d.quoted) changed = deck.pages;
    const std::vector<Page>& pages = d.html || !d.quoted ? changed : deck.pages;
    if (d.html) {
        for (Page& page : changed) {
            page.question = HtmlFromText(page.question);
            page.answer = HtmlFromText(page.answer);
        }
    }
    const std::size_t firstLine = 1 + static_cast<std::size_t>(std::count(header.begin(), header.end(), '\n'));
    if (!d.quoted && !keepPlainFieldsPlain(changed, rows, d.separator, firstLine, o, d.html, r)) {
        r.status = kConvertRefused;
        return std::nullopt;
    }
    warnProgramLosses(o.program, pages, rows, firstLine, o.outputName, r.messages);
    if (o.to == DeckFormat::Csv && !d.html) warnSpreadsheetReadings(pages, rows, firstLine, o.outputName, r.messages);
    // Spreadsheets on a Japanese Windows read a table without a mark as code page 932.
    const TextEncoding encoding = o.encoding == TextEncoding::Detect && o.program == TableProgram::Excel
                                      ? TextEncoding::Cp932
                                      : o.encoding;
    return EncodeTable(header + TableText(pages, rows, d), encoding);
}

Converted ConvertDeck(const std::string& input, const ConvertOptions& o) {
    Converted c;
    if ((o.from == DeckFormat::Rvm) == (o.to == DeckFormat::Rvm)) {
        refuse(c, kConvertUsage, "*.rvm と TSV/CSV のあいだで変換します。");
    } else if (o.from == DeckFormat::Rvm) {
        const DeckRead read = ReadDeckBytes(input);
        if (read.fault)
            refuse(c, FaultStatus(*read.fault), where(o.inputName) + FaultMessage(*read.fault, o.inputName));
        else if (auto table = DeckToTable(read.deck, o, c))
            c.bytes = std::move(*table);
    } else if (TableBytes table(input); auto file = TableToDeckFile(table, o, c)) {
        c.bytes = std::move(*file);
    }
    return c;
}

}  // namespace rvm
