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
