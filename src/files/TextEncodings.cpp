#include "TextEncodings.h"

#include <cstdint>
#include <cstdio>
#include <cstring>

#include "Cp932.h"

namespace rvm {
namespace {

const char kUtf8Mark[] = "\xEF\xBB\xBF";
const char kReplacement[] = "\xEF\xBF\xBD";  // U+FFFD, which no code page 932 byte decodes to

// The refusal of UTF-16 that is not well formed, naming its bytes as they
// stand in the file.
std::string badUtf16(std::string_view bytes) {
    std::string hex;
    for (const char b : bytes) {
        char one[8];
        std::snprintf(one, sizeof one, "%s0x%02X", hex.empty() ? "" : " ", static_cast<unsigned char>(b));
        hex += one;
    }
    return "UTF-16 として読めないバイトがあります（" + hex + "）。";
}

// Appends to out; stops at a lone or reversed surrogate, or an odd last
// byte, and says so in bad.
void utf16ToUtf8(std::string_view b, bool bigEndian, std::string& out, std::string& bad) {
    auto unit = [&](std::size_t i) -> std::uint32_t {
        const auto x = static_cast<unsigned char>(b[i]), y = static_cast<unsigned char>(b[i + 1]);
        return bigEndian ? x << 8 | y : y << 8 | x;
    };
    std::size_t i = 0;
    for (; i + 1 < b.size(); i += 2) {
        std::uint32_t cp = unit(i);
        if (cp >= 0xD800 && cp < 0xDC00 && i + 3 < b.size()) {
            const std::uint32_t low = unit(i + 2);
            if (low >= 0xDC00 && low < 0xE000) {
                cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
                i += 2;
            }
        }
        if (cp >= 0xD800 && cp < 0xE000) break;
        AppendUtf8(out, cp);
    }
    if (i < b.size()) bad = badUtf16(b.substr(i, 2));
}

// The length of b up to its last line feed, 0 for none. A line feed of UTF-16
// is a whole unit, at an even offset.
std::size_t afterLastFeed(std::string_view b, bool utf16, bool bigEndian) {
    if (!utf16) return b.rfind('\n') + 1;  // npos + 1 is 0
    for (std::size_t i = b.size() & ~std::size_t{1}; i >= 2; i -= 2)
        if (b[i - 2] == (bigEndian ? '\0' : '\n') && b[i - 1] == (bigEndian ? '\n' : '\0')) return i;
    return 0;
}

std::string utf8ToUtf16(std::string_view s) {
    std::string out = "\xFF\xFE";
    out.reserve(2 + s.size() * 2);
    auto put = [&](std::uint32_t u) {
        out += static_cast<char>(u & 0xFF);
        out += static_cast<char>(u >> 8);
    };
    for (std::size_t i = 0, len; i < s.size(); i += len) {
        const char32_t cp = CodePointAt(s, i, len);
        if (cp >= 0x10000) {
            put(0xD800 + ((cp - 0x10000) >> 10));
            put(0xDC00 + ((cp - 0x10000) & 0x3FF));
        } else {
            put(cp);
        }
    }
    return out;
}

}  // namespace

std::string AsciiLower(std::string_view s) {
    std::string w(s);
    for (char& c : w) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return w;
}

std::optional<TextEncoding> EncodingNamed(std::string_view word) {
    const std::string w = AsciiLower(word);
    if (w == "utf8") return TextEncoding::Utf8;
    if (w == "utf8-bom") return TextEncoding::Utf8Bom;
    if (w == "cp932") return TextEncoding::Cp932;
    if (w == "utf16") return TextEncoding::Utf16;
    return std::nullopt;
}

char32_t CodePointAt(std::string_view s, std::size_t at, std::size_t& length) {
    const auto lead = static_cast<unsigned char>(s[at]);
    length = cp932::Utf8Length(lead);
    if (FirstBadUtf8(s.substr(at, length)) != std::string_view::npos) {
        length = 1;
        return 0xFFFD;
    }
    char32_t cp = length == 1 ? lead : lead & (0xFF >> (length + 1));
    for (std::size_t k = 1; k < length; ++k) cp = cp << 6 | (static_cast<unsigned char>(s[at + k]) & 0x3F);
    return cp;
}

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | cp >> 6);
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | cp >> 12);
        out += static_cast<char>(0x80 | (cp >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | cp >> 18);
        out += static_cast<char>(0x80 | (cp >> 12 & 0x3F));
        out += static_cast<char>(0x80 | (cp >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

std::size_t FirstBadUtf8(std::string_view s) {
    const auto* p = reinterpret_cast<const unsigned char*>(s.data());
    const std::size_t n = s.size();
    for (std::size_t i = 0; i < n;) {
        if (i + 8 <= n) {  // runs of ASCII, eight bytes at a time
            std::uint64_t w;
            std::memcpy(&w, p + i, 8);
            if (!(w & 0x8080808080808080ULL)) {
                i += 8;
                continue;
            }
        }
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

std::string BadUtf8Message(char b) {
    char hex[8];
    std::snprintf(hex, sizeof hex, "0x%02X", static_cast<unsigned char>(b));
    return std::string("UTF-8 として読めないバイトがあります（") + hex + "）。";
}

void TableDecoder::take(std::string& bytes, bool atEnd, std::string& text) {
    if (!started_) {
        if (bytes.size() < 3 && !atEnd) return;  // a byte order mark may come whole
        started_ = true;
        const bool le = bytes.starts_with("\xFF\xFE"), be = bytes.starts_with("\xFE\xFF");
        const bool utf8Mark = bytes.starts_with(kUtf8Mark);
        if (encoding_ == TextEncoding::Detect) {
            encoding_ = le || be ? TextEncoding::Utf16 : TextEncoding::Utf8;
            guessed = !le && !be && !utf8Mark;
        }
        bigEndian_ = be;
        if (encoding_ == TextEncoding::Utf16) bytes.erase(0, le || be ? 2 : 0);
        else if (encoding_ != TextEncoding::Cp932) bytes.erase(0, utf8Mark ? 3 : 0);
    }
    const bool utf16 = encoding_ == TextEncoding::Utf16;
    const std::size_t cut = atEnd ? bytes.size() : afterLastFeed(bytes, utf16, bigEndian_);
    const std::string_view piece = std::string_view(bytes).substr(0, cut);
    if (!badUtf16.empty()) {
        // nothing after it is read
    } else if (encoding_ == TextEncoding::Cp932) {
        std::string decoded;
        cp932::decode(piece, decoded);
        notCp932 |= decoded.find(kReplacement) != std::string::npos;
        text += decoded;
    } else if (utf16) {
        utf16ToUtf8(piece, bigEndian_, text, badUtf16);
    } else {
        text += piece;
    }
    bytes.erase(0, cut);
}

std::string EncodeTable(std::string utf8, TextEncoding encoding) {
    switch (encoding) {
    case TextEncoding::Utf8Bom:
        return kUtf8Mark + utf8;
    case TextEncoding::Cp932:
        // What code page 932 lacks (an emoji typed into a page) becomes "?".
        return cp932::encode(utf8).bytes;
    case TextEncoding::Utf16:
        return utf8ToUtf16(utf8);
    default:
        return utf8;
    }
}

}  // namespace rvm
