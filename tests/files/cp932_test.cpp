#include <gtest/gtest.h>

#include <algorithm>

#include "files/Cp932.h"

using namespace rvm;

// Text to bytes, with the offsets of the characters code page 932 cannot hold
// (written as '?'), and back to the same text where nothing was lost.
TEST(Cp932, EncodeAndDecode) {
    const auto times = [](std::string s, int n) {
        std::string out;
        while (n-- > 0) out += s;
        return out;
    };
    const auto every = [](std::size_t from, std::size_t step, std::size_t n) {
        std::vector<std::size_t> at;
        for (std::size_t k = 0; k < n; ++k) at.push_back(from + k * step);
        return at;
    };
    const std::string as(65535, 'a');  // the next character crosses 64 KiB
    const struct { std::string text, bytes; std::vector<std::size_t> unmappable; } rows[] = {
        {"あ犬ｱﾃｷｽﾄ～① a\r\n", "\x82\xA0\x8C\xA2\xB1\xC3\xB7\xBD\xC4\x81\x60\x87\x40 a\r\n", {}},
        {"a😀b𠮷", "a?b?", {1, 6}},
        {"🇯\U000E0041\U000E007F", "???", {0, 4, 8}},  // tag characters
        {"ｱ😀한〒x\U000E0001", "\xB1??\x81\xA7x?", {3, 7, 14}},
        {"\xE3\x81\xF0\x9F\x98\x80", "????", {0, 3, 4, 5}},  // not UTF-8
        {times("한", 100000) + "あ", std::string(100000, '?') + "\x82\xA0", every(0, 3, 100000)},
        {as + "あ" + times("😀x", 50000), as + "\x82\xA0" + times("?x", 50000), every(65538, 5, 50000)},
    };
    for (const auto& r : rows) {
        const auto e = cp932::encode(r.text);
        EXPECT_EQ(std::tie(e.bytes, e.unmappable), std::tie(r.bytes, r.unmappable)) << r.text.substr(0, 40);
        if (r.unmappable.empty()) {
            EXPECT_EQ(cp932::decode(r.bytes), r.text);
        }
    }
    // Bytes that are not code page 932 become U+FFFD; the rest is kept.
    EXPECT_EQ(cp932::decode("a\x80z"), "a\uFFFDz");
    EXPECT_EQ(cp932::decode("x\x82"), "x\uFFFD");  // lead byte cut off at the end
    EXPECT_EQ(cp932::decode(std::string(100000, '\xB1')).size(), 300000u);  // grows threefold
}

// The platforms' tables differ only here: glibc maps these characters one way
// onto a neighbour (reading back gives the neighbour, the third column),
// Windows holds none of them and writes '?'. Every other character and every
// byte pair converts the same on both, which the digests below pin down.
const struct { const char *text, *iconv, *back; } kDifferences[] = {
    {"¢", "\x81\x91", "￠"}, {"£", "\x81\x92", "￡"}, {"¥", "\\", "\\"},   {"¬", "\x81\xCA", "￢"},
    {"—", "\x81\x5C", "―"}, {"‖", "\x81\x61", "∥"}, {"‾", "~", "~"},      {"−", "\x81\x7C", "－"},
    {"〜", "\x81\x60", "～"},
};
#ifdef _WIN32
constexpr bool kWin32 = true;
#else
constexpr bool kWin32 = false;
#endif

TEST(Cp932, BothPlatformsAgreeBeyondTheListedDifferences) {
    for (const auto& [text, iconv, back] : kDifferences) {
        const auto e = cp932::encode(text);
        EXPECT_EQ(e.bytes, kWin32 ? "?" : iconv) << text;
        EXPECT_EQ(e.unmappable.size(), kWin32 ? 1u : 0u) << text;
        EXPECT_EQ(cp932::decode(iconv), back) << text;
    }
    const auto digest = [](const std::string& s) {  // FNV-1a
        std::uint64_t h = 14695981039346656037u;
        for (unsigned char c : s) h = (h ^ c) * 1099511628211u;
        return h;
    };
    // Every character of the first plane, and every byte pair, a row at a time.
    std::string encoded, decoded;
    for (unsigned hi = 0; hi < 256; ++hi) {
        std::string text, pairs;
        for (unsigned lo = 0; lo < 256; ++lo) {
            const char32_t c = hi << 8 | lo;
            pairs += {char(hi), char(lo)};
            if (c == 0 || (c >= 0xD800 && c <= 0xDFFF)) continue;
            std::string u8;  // c in UTF-8
            if (c < 0x80) u8 = {char(c)};
            else if (c < 0x800) u8 = {char(0xC0 | c >> 6), char(0x80 | (c & 0x3F))};
            else u8 = {char(0xE0 | c >> 12), char(0x80 | (c >> 6 & 0x3F)), char(0x80 | (c & 0x3F))};
            if (std::ranges::none_of(kDifferences, [&](auto& d) { return u8 == d.text; })) text += u8;
        }
        auto e = cp932::encode(text);
        encoded += e.bytes;
        for (std::size_t at : e.unmappable) encoded += "@" + std::to_string(at);
        decoded += cp932::decode(pairs);
    }
    EXPECT_EQ(digest(encoded), 12649182936224449870u);
    EXPECT_EQ(digest(decoded), 14357284861367936379u);
}
