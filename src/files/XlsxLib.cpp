// Workbooks written with libxlsxwriter and read with minizip and expat.
#include <expat.h>
#include <minizip/unzip.h>
#include <unistd.h>
#include <xlsxwriter.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>

#include "DeckExchange.h"
#include "Xlsx.h"

namespace rvm {
namespace {

const char kUnreadable[] = "Excel のブック (.xlsx) として読めません。";
// A zip that unpacks to more text than this is refused, not read into memory.
constexpr std::size_t kMaxText = std::size_t{1} << 30;

// A cell holds LF line breaks; the deck CR LF.
std::string cellText(std::string_view deckText) {
    std::string t;
    for (std::size_t i = 0; i < deckText.size(); ++i) {
        if (deckText[i] == '\r' && i + 1 < deckText.size() && deckText[i + 1] == '\n') continue;
        t += deckText[i] == '\r' ? '\n' : deckText[i];
    }
    return t;
}

// Control characters come as _xHHHH_ (as libxlsxwriter and Excel write
// them); line breaks become CR LF.
std::string deckText(std::string_view cell) {
    std::string t;
    for (std::size_t i = 0; i < cell.size(); ++i) {
        unsigned code = 0;
        if (cell.substr(i, 2) == "_x" && i + 7 <= cell.size() && cell[i + 6] == '_' &&
            std::sscanf(std::string(cell.substr(i + 2, 4)).c_str(), "%4x", &code) == 1 && code < 0x80 &&
            std::all_of(cell.begin() + i + 2, cell.begin() + i + 6, [](char c) { return std::isxdigit(c & 0xFF); })) {
            i += 6;
            if (code == '\n' || code == '\r') t += "\r\n";
            else t += static_cast<char>(code);
            if (code == '\r' && i + 1 < cell.size() && cell[i + 1] == '\n') ++i;
            continue;
        }
        if (cell[i] == '\r' && i + 1 < cell.size() && cell[i + 1] == '\n') ++i;
        if (cell[i] == '\r' || cell[i] == '\n') t += "\r\n";
        else t += cell[i];
    }
    return t;
}

// The zip's bytes, read by minizip from memory.
struct Memory {
    std::string_view bytes;
    ZPOS64_T at = 0;
};
voidpf memOpen(voidpf opaque, const void*, int) { return opaque; }
uLong memRead(voidpf, voidpf stream, void* buf, uLong size) {
    auto& m = *static_cast<Memory*>(stream);
    size = static_cast<uLong>(std::min<ZPOS64_T>(size, m.bytes.size() - m.at));
    std::memcpy(buf, m.bytes.data() + m.at, size);
    m.at += size;
    return size;
}
uLong memWrite(voidpf, voidpf, const void*, uLong) { return 0; }
ZPOS64_T memTell(voidpf, voidpf stream) { return static_cast<Memory*>(stream)->at; }
long memSeek(voidpf, voidpf stream, ZPOS64_T offset, int origin) {
    auto& m = *static_cast<Memory*>(stream);
    const ZPOS64_T base = origin == ZLIB_FILEFUNC_SEEK_SET ? 0 : origin == ZLIB_FILEFUNC_SEEK_CUR ? m.at : m.bytes.size();
    if (offset > m.bytes.size() - base) return -1;
    m.at = base + offset;
    return 0;
}
int memClose(voidpf, voidpf) { return 0; }
int memError(voidpf, voidpf) { return 0; }

std::string_view localName(const char* name) {
    const char* colon = std::strrchr(name, ':');
    return colon ? colon + 1 : name;
}

const char* attribute(const char** attrs, std::string_view local) {
    for (; *attrs; attrs += 2)
        if (localName(attrs[0]) == local) return attrs[1];
    return nullptr;
}

// One XML part of the workbook, read as it unpacks.
class Part {
public:
    virtual ~Part() = default;
    // Streams the zip's entry through the handlers; false when it is missing or broken.
    bool read(unzFile zip, const std::string& name) {
        if (unzLocateFile(zip, name.c_str(), 2) != UNZ_OK || unzOpenCurrentFile(zip) != UNZ_OK) return false;
        XML_Parser p = XML_ParserCreate("UTF-8");
        parser_ = p;
        XML_SetUserData(p, this);
        XML_SetElementHandler(
            p, [](void* u, const char* n, const char** a) { static_cast<Part*>(u)->start(localName(n), a); },
            [](void* u, const char* n) { static_cast<Part*>(u)->end(localName(n)); });
        XML_SetCharacterDataHandler(p, [](void* u, const char* s, int len) {
            auto* part = static_cast<Part*>(u);
            if (part->collecting_ && (part->text_ += len) <= kMaxText) part->text(std::string_view(s, len));
        });
        std::string buffer(1 << 16, '\0');
        int n;
        bool ok = true;
        while (ok && (n = unzReadCurrentFile(zip, buffer.data(), static_cast<unsigned>(buffer.size()))) > 0)
            ok = XML_Parse(p, buffer.data(), n, XML_FALSE) == XML_STATUS_OK;
        ok = ok && n == 0 && XML_Parse(p, nullptr, 0, XML_TRUE) == XML_STATUS_OK;
        ok = unzCloseCurrentFile(zip) == UNZ_OK && ok;
        XML_ParserFree(p);
        return (ok || stopped_) && text_ <= kMaxText;
    }

protected:
    virtual void start(std::string_view name, const char** attrs) = 0;
    virtual void end(std::string_view) {}
    virtual void text(std::string_view) {}
    void collect(bool on) { collecting_ = on; }
    void stop() {
        stopped_ = true;
        XML_StopParser(parser_, XML_FALSE);
    }

private:
    XML_Parser parser_ = nullptr;
    bool collecting_ = false, stopped_ = false;
    std::size_t text_ = 0;
};

// The workbook's first sheet, as a relation's id.
struct Workbook : Part {
    std::string sheet;
    void start(std::string_view name, const char** attrs) override {
        const char* id = name == "sheet" && sheet.empty() ? attribute(attrs, "id") : nullptr;
        if (id) sheet = id;
    }
};

// The paths the workbook's relations name, below xl/.
struct Relations : Part {
    std::string sheetId, sheet = "xl/worksheets/sheet1.xml", strings = "xl/sharedStrings.xml";
    void start(std::string_view name, const char** attrs) override {
        const char *id = attribute(attrs, "Id"), *target = attribute(attrs, "Target"), *type = attribute(attrs, "Type");
        if (name != "Relationship" || !id || !target || !type) return;
        const std::string path = target[0] == '/' ? target + 1 : "xl/" + std::string(target);
        if (id == sheetId) sheet = path;
        if (std::string_view(type).ends_with("/sharedStrings")) strings = path;
    }
};

// Shared strings: the text of their runs, without the readings (rPh) that
// Japanese Excel keeps beside them.
struct SharedStrings : Part {
    std::vector<std::string> strings;
    int readings = 0;
    void start(std::string_view name, const char**) override {
        if (name == "si") strings.emplace_back();
        if (name == "rPh") ++readings;
        collect(name == "t" && !readings && !strings.empty());
    }
    void end(std::string_view name) override {
        if (name == "rPh") --readings;
        if (name == "t") collect(false);
    }
    void text(std::string_view s) override { strings.back() += s; }
};

// Columns A and B of each row that holds text.
struct Sheet : Part {
    const std::vector<std::string>& shared;
    std::vector<Page>& pages;
    std::vector<std::size_t>& lines;
    std::string error;
    std::size_t row = 0;
    long column = -1;
    int readings = 0;
    std::string type, value, cells[2];

    Sheet(const std::vector<std::string>& s, std::vector<Page>& p, std::vector<std::size_t>& l)
        : shared(s), pages(p), lines(l) {}
    void start(std::string_view name, const char** attrs) override {
        const char* at = attribute(attrs, "r");
        if (name == "row") {
            row = at ? std::strtoul(at, nullptr, 10) : row + 1;
            column = -1;
            cells[0].clear(), cells[1].clear();
        } else if (name == "c") {
            long letters = 0;
            for (; at && std::isalpha(*at & 0xFF) && letters < 100000; ++at) letters = letters * 26 + (*at & 0x1F);
            column = letters ? letters - 1 : column + 1;
            const char* t = attribute(attrs, "t");
            type = t ? t : "";
            value.clear();
        } else if (name == "rPh") {
            ++readings;
        }
        // A formula's text is no value; its result, in <v>, is.
        collect((name == "v" || name == "t") && !readings);
    }
    void end(std::string_view name) override {
        if (name == "rPh") --readings;
        if (name == "v" || name == "t") collect(false);
        if (name == "c" && (column == 0 || column == 1)) cells[column] = cellValue();
        if (name != "row" || (cells[0].empty() && cells[1].empty())) return;
        if (pages.size() == static_cast<std::size_t>(kMaxPages)) {
            error = kTooManyPages;
            lines.push_back(row);
            return stop();
        }
        pages.push_back({deckText(cells[0]), deckText(cells[1])});
        lines.push_back(row);
    }
    void text(std::string_view s) override { value += s; }
    std::string cellValue() const {
        if (type == "s") {
            const std::size_t k = std::strtoul(value.c_str(), nullptr, 10);
            return k < shared.size() ? shared[k] : std::string();
        }
        if (type == "b") return value == "1" ? "TRUE" : "FALSE";
        return value;  // a number as the file keeps it, a string, or an error such as #DIV/0!
    }
};

}  // namespace

bool XlsxAvailable() { return true; }

std::optional<std::string> XlsxFromRows(const std::vector<Page>& pages, const std::vector<int>& rows,
                                        std::string& error) {
    // libxlsxwriter writes to a named file only: one of our own in the temp folder.
    std::error_code ec;
    std::string path = (std::filesystem::temp_directory_path(ec) / "ravolin-memorel-XXXXXX.xlsx").string();
    const int fd = mkstemps(path.data(), 5);
    if (fd < 0) {
        error = "一時ファイルを作れません: " + std::string(std::strerror(errno));
        return std::nullopt;
    }
    close(fd);
    struct Removed {
        const std::string& path;
        ~Removed() { std::remove(path.c_str()); }
    } removed{path};

    lxw_workbook_options options{};
    lxw_workbook* book = workbook_new_opt(path.c_str(), &options);
    lxw_worksheet* sheet = book ? workbook_add_worksheet(book, nullptr) : nullptr;
    if (!sheet) {
        if (book) workbook_close(book);
        error = "Excel のブックを作れません。";
        return std::nullopt;
    }
    // Line breaks show only in wrapped cells; the top keeps question and answer level.
    lxw_format* wrapped = workbook_add_format(book);
    format_set_text_wrap(wrapped);
    format_set_align(wrapped, LXW_ALIGN_VERTICAL_TOP);
    worksheet_set_column(sheet, 0, 1, 40, nullptr);
    lxw_error failed = LXW_NO_ERROR;
    for (std::size_t r = 0; r < rows.size() && !failed; ++r) {
        const Page& page = pages[rows[r]];
        for (const std::string* field : {&page.question, &page.answer}) {
            const std::string text = cellText(*field);
            if (text.empty()) continue;  // an empty cell, not an empty text
            failed = worksheet_write_string(sheet, static_cast<lxw_row_t>(r), field == &page.answer,
                                            text.c_str(), text.find('\n') != std::string::npos ? wrapped : nullptr);
            if (failed == LXW_ERROR_MAX_STRING_LENGTH_EXCEEDED) {
                error = std::to_string(r + 1) + " 行目: 32767 文字より長い欄は Excel のセルに入りません。";
                workbook_close(book);
                return std::nullopt;
            }
            if (failed) break;
        }
    }
    const lxw_error closed = workbook_close(book);
    if (failed || closed) {
        error = std::string("Excel のブックを書けません: ") + lxw_strerror(failed ? failed : closed);
        return std::nullopt;
    }
    std::ifstream in(path, std::ios::binary);
    std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (!in) {
        error = "Excel のブックを読み返せません。";
        return std::nullopt;
    }
    return bytes;
}

bool RowsFromXlsx(std::string_view bytes, std::vector<Page>& pages, std::vector<std::size_t>& lines,
                  std::string& error) {
    Memory memory{bytes};
    zlib_filefunc64_def io{memOpen, memRead, memWrite, memTell, memSeek, memClose, memError, &memory};
    unzFile zip = unzOpen2_64("", &io);
    Workbook book;
    Relations relations;
    SharedStrings shared;
    bool ok = zip && book.read(zip, "xl/workbook.xml");
    relations.sheetId = book.sheet;
    // Without relations or shared strings the usual names stand, or there are none.
    if (ok) relations.read(zip, "xl/_rels/workbook.xml.rels");
    if (ok && unzLocateFile(zip, relations.strings.c_str(), 2) == UNZ_OK) ok = shared.read(zip, relations.strings);
    Sheet sheet(shared.strings, pages, lines);
    ok = ok && sheet.read(zip, relations.sheet);
    if (zip) unzClose(zip);
    error = !sheet.error.empty() ? sheet.error : ok ? "" : kUnreadable;
    return error.empty();
}

}  // namespace rvm
