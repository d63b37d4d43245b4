#include "Text.h"

#include <charconv>
#include <cmath>
#include <string_view>

namespace rvm {

std::string PaddedNumber(std::int32_t n) {
    std::string s = std::to_string(n);
    if (s.size() == 1) return "  " + s;
    if (s.size() == 2) return " " + s;
    return s;
}

std::string WithoutBlanks(const std::string& s) {
    static const std::string kWide = "\xE3\x80\x80";  // U+3000 in UTF-8
    std::string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size();) {
        if (s[i] == ' ') {
            ++i;
        } else if (s.compare(i, kWide.size(), kWide) == 0) {
            i += kWide.size();
        } else {
            out += s[i++];
        }
    }
    return out;
}

std::optional<double> LeadingNumber(const std::string& s) {
    std::size_t i = 0;
    while (i < s.size() && (s[i] == ' ' || s[i] == '\t')) ++i;
    std::string num;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) num += s[i++];
    std::size_t digits = 0;
    auto takeDigits = [&] {
        while (i < s.size() && s[i] >= '0' && s[i] <= '9') {
            num += s[i++];
            ++digits;
        }
    };
    takeDigits();
    if (i < s.size() && s[i] == '.') {
        num += s[i++];
        takeDigits();
    }
    if (digits == 0) return 0.0;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E' || s[i] == 'd' || s[i] == 'D')) {
        std::size_t j = i + 1;
        std::string exp = "e";
        if (j < s.size() && (s[j] == '+' || s[j] == '-')) exp += s[j++];
        std::size_t expStart = j;
        while (j < s.size() && s[j] >= '0' && s[j] <= '9') exp += s[j++];
        if (j > expStart) num += exp;
    }
    const char* first = num.data();
    if (*first == '+') ++first;
    double v = 0;
    auto [ptr, ec] = std::from_chars(first, num.data() + num.size(), v);
    (void)ptr;
    if (ec == std::errc::result_out_of_range) {
        // Tiny values underflow to zero; huge ones cannot be held.
        if (num.find("e-") != std::string::npos) return 0.0;
        return std::nullopt;
    }
    if (ec != std::errc() || !std::isfinite(v)) return std::nullopt;
    return v;
}

int LeadingDigits(const std::string& s) {
    std::size_t i = 0;
    while (i < s.size() && s[i] == ' ') ++i;
    long v = 0;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9' && v < 1000000) v = v * 10 + (s[i++] - '0');
    return static_cast<int>(v);
}

std::string ToCrLf(const std::string& s) {
    std::string out;
    out.reserve(s.size() + s.size() / 16);
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\r' && i + 1 < s.size() && s[i + 1] == '\n') {
            out += "\r\n";
            ++i;
        } else if (s[i] == '\n') {
            out += "\r\n";
        } else {
            out += s[i];
        }
    }
    return out;
}

std::string ToLf(const std::string& s) {
    std::string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\r' && i + 1 < s.size() && s[i + 1] == '\n') continue;
        out += s[i];
    }
    return out;
}

std::int32_t CountChar(const std::string& text, const std::string& ch) {
    if (ch.empty()) return 0;
    // The first character is its lead byte and the continuation bytes after
    // it; a whole UTF-8 character never matches inside another one.
    std::size_t len = 1;
    while (len < ch.size() && (static_cast<unsigned char>(ch[len]) & 0xC0) == 0x80) ++len;
    const std::string_view c(ch.data(), len);
    std::int32_t n = 0;
    for (auto p = text.find(c); p != std::string::npos; p = text.find(c, p + len)) ++n;
    return n;
}

}  // namespace rvm
