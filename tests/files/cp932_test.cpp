#include <gtest/gtest.h>

#include "files/Cp932.h"

using namespace rvm;

TEST(Cp932, RoundTripsJapaneseAndHalfWidthKatakana) {
    const std::string text = "日本語のﾃｷｽﾄ and ASCII\r\n～①";
    auto e = cp932::encode(text);
    EXPECT_TRUE(e.unmappable.empty());
    EXPECT_EQ(cp932::decode(e.bytes), text);
    EXPECT_EQ(cp932::encode("ｱ").bytes, "\xB1");
    EXPECT_EQ(cp932::encode("あ").bytes, "\x82\xA0");
}

TEST(Cp932, UnmappableCharactersBecomeQuestionMarksAndAreReported) {
    const std::string text = "a😀b𠮷";
    auto e = cp932::encode(text);
    EXPECT_EQ(e.bytes, "a?b?");
    ASSERT_EQ(e.unmappable.size(), 2u);
    EXPECT_EQ(e.unmappable[0], 1u);
    EXPECT_EQ(e.unmappable[1], 6u);
}

TEST(Cp932, BadBytesBecomeReplacementCharactersWithoutLosingTheRest) {
    EXPECT_EQ(cp932::decode("a\x80z"), "a\uFFFDz");
    EXPECT_EQ(cp932::decode("x\x82"), "x\uFFFD");  // lead byte cut off at the end
    EXPECT_EQ(cp932::decode(std::string(200000, 'a')).size(), 200000u);
}

// The platforms' tables differ only here: glibc maps these characters one
// way onto a neighbour (reading back gives the neighbour), Windows holds
// them not at all. Every other character and every byte pair converts the
// same on both, which the digests below pin down.
struct PlatformDifference { const char* text; const char* iconv; const char* win32; };
const PlatformDifference kDifferences[] = {
    {"¢", "\x81\x91", "?"}, {"£", "\x81\x92", "?"}, {"¥", "\\", "?"},
    {"¬", "\x81\xCA", "?"}, {"—", "\x81\x5C", "?"}, {"‖", "\x81\x61", "?"},
    {"‾", "~", "?"},        {"−", "\x81\x7C", "?"}, {"〜", "\x81\x60", "?"},
};
#ifdef _WIN32
constexpr bool kWin32 = true;
#else
constexpr bool kWin32 = false;
#endif

TEST(Cp932, BothPlatformsAgreeBeyondTheListedDifferences) {
    for (const auto& d : kDifferences) {
        const std::string want = kWin32 ? d.win32 : d.iconv;
        auto e = cp932::encode(d.text);
        EXPECT_EQ(e.bytes, want) << d.text;
        EXPECT_EQ(e.unmappable.size(), want == "?" ? 1u : 0u) << d.text;
    }
    const auto listed = [](const std::string& c) {
        for (const auto& d : kDifferences) if (c == d.text) return true;
        return false;
    };
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
            pairs += {static_cast<char>(hi), static_cast<char>(lo)};
            if (c == 0 || (c >= 0xD800 && c <= 0xDFFF)) continue;
            std::string u8;  // c in UTF-8
            if (c < 0x80) u8 = {static_cast<char>(c)};
            else if (c < 0x800) u8 = {static_cast<char>(0xC0 | c >> 6), static_cast<char>(0x80 | (c & 0x3F))};
            else u8 = {static_cast<char>(0xE0 | c >> 12), static_cast<char>(0x80 | (c >> 6 & 0x3F)),
                       static_cast<char>(0x80 | (c & 0x3F))};
            if (!listed(u8)) text += u8;
        }
        auto e = cp932::encode(text);
        encoded += e.bytes;
        for (std::size_t at : e.unmappable) encoded += "@" + std::to_string(at);
        decoded += cp932::decode(pairs);
    }
    EXPECT_EQ(digest(encoded), 12649182936224449870u);
    EXPECT_EQ(digest(decoded), 14357284861367936379u);
}
