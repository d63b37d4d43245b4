#include "HtmlFields.h"

#include <algorithm>
#include <cstdint>

#include "TextEncodings.h"

namespace rvm {
namespace {

bool isAlnum(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'); }

// The character an entity between '&' and ';' stands for, or 0 for none.
// A no-break space becomes a plain one: a deck cannot hold U+00A0, and
// editors put it in where the user typed two spaces.
char32_t entity(std::string_view name) {
    if (name.size() > 1 && name[0] == '#') {
        const bool hex = name[1] == 'x' || name[1] == 'X';
        std::uint32_t cp = 0;
        std::size_t digits = 0;
        for (char c : name.substr(hex ? 2 : 1)) {
            const int d = c >= '0' && c <= '9'                ? c - '0'
                          : hex && c >= 'a' && c <= 'f'       ? c - 'a' + 10
                          : hex && c >= 'A' && c <= 'F'       ? c - 'A' + 10
                                                              : -1;
            if (d < 0 || cp > 0x10FFFF) return 0;
            cp = cp * (hex ? 16 : 10) + static_cast<std::uint32_t>(d);
            ++digits;
        }
        if (!digits || cp == 0 || cp > 0x10FFFF || (cp >= 0xD800 && cp < 0xE000)) return 0;
        return cp == 0xA0 ? U' ' : cp;
    }
    const std::string n = AsciiLower(name);
    if (n == "amp") return U'&';
    if (n == "lt") return U'<';
    if (n == "gt") return U'>';
    if (n == "quot") return U'"';
    if (n == "apos") return U'\'';
    if (n == "nbsp") return U' ';
    return 0;
}

}  // namespace

std::string HtmlFromText(std::string_view text) {
    std::string out;
    out.reserve(text.size() + text.size() / 8);
    for (std::size_t i = 0; i < text.size(); ++i) {
        switch (text[i]) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '\r':
            if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
            [[fallthrough]];
        case '\n': out += "<br>"; break;
        default: out += text[i];
        }
    }
    return out;
}

std::string TextFromHtml(std::string_view html) {
    std::string out;
    // After the edge of a block, the next text starts on a line of its own,
    // unless it already does: <div>a</div><div>b</div> is two lines, not four.
    bool blockEdge = false;
    auto put = [&](std::string_view t) {
        if (blockEdge && !out.empty() && out.back() != '\n') out += "\r\n";
        blockEdge = false;
        out += t;
    };
    const std::size_t n = html.size();
    std::size_t close = 0;  // the next '>', looked for again only once passed: a text of many '<' stays linear
    for (std::size_t i = 0; i < n;) {
        const std::size_t stop = std::min(html.find_first_of("<&", i), n);
        if (stop > i) put(html.substr(i, stop - i));
        if (stop == n) break;
        i = stop + 1;
        if (html[stop] == '&') {
            const std::size_t semi = html.substr(0, i + 12).find(';', i);  // no entity is longer
            const char32_t c = semi != std::string_view::npos ? entity(html.substr(i, semi - i)) : 0;
            if (!c) {
                put("&");
                continue;
            }
            std::string utf8;
            AppendUtf8(utf8, c);
            put(utf8);
            i = semi + 1;
            continue;
        }
        std::size_t name = i + (i < n && html[i] == '/');
        std::size_t nameEnd = name;
        while (nameEnd < n && isAlnum(html[nameEnd])) ++nameEnd;
        if (close != std::string_view::npos && close < i) close = html.find('>', i);
        if ((nameEnd == name && !(name < n && html[name] == '!')) || close == std::string_view::npos) {
            put("<");  // "a < b" is text, not a tag
            continue;
        }
        const std::string tag = AsciiLower(html.substr(name, nameEnd - name));
        if (tag == "br") {
            put("");
            out += "\r\n";
        } else if (tag == "div" || tag == "p") {
            blockEdge = true;
        }
        i = close + 1;
    }
    return out;
}

}  // namespace rvm
