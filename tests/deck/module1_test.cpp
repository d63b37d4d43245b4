#include <gtest/gtest.h>

#include "deck/Module1.h"

using namespace rvm;

TEST(Module1, PadNumRightAlignsToThree) {
    EXPECT_EQ(PadNum(7), "  7");
    EXPECT_EQ(PadNum(42), " 42");
    EXPECT_EQ(PadNum(123), "123");
    EXPECT_EQ(PadNum(1234), "1234");
    EXPECT_EQ(PadNum(-5), " -5");
}

TEST(Module1, RemoveSpacesTakesHalfAndFullWidthBlanks) {
    EXPECT_EQ(RemoveSpaces("hide = 1"), "hide=1");
    EXPECT_EQ(RemoveSpaces("ie\u3000place"), "ieplace");
    EXPECT_EQ(RemoveSpaces("a\tb"), "a\tb");
    EXPECT_EQ(RemoveSpaces("   \u3000 "), "");
    EXPECT_EQ(RemoveSpaces("日 本"), "日本");
}

TEST(Module1, LeadingNumberReadsLikeTheFileReader) {
    EXPECT_EQ(*LeadingNumber("07"), 7);
    EXPECT_EQ(*LeadingNumber(""), 0);
    EXPECT_EQ(*LeadingNumber("3rd"), 3);
    EXPECT_EQ(*LeadingNumber(" 2"), 2);
    EXPECT_EQ(*LeadingNumber("2.50"), 2.5);
    EXPECT_EQ(*LeadingNumber("-4"), -4);
    EXPECT_EQ(*LeadingNumber("+4x"), 4);
    EXPECT_EQ(*LeadingNumber("1e2"), 100);
    EXPECT_EQ(*LeadingNumber("1e"), 1);
    EXPECT_EQ(*LeadingNumber("abc"), 0);
    EXPECT_EQ(*LeadingNumber("."), 0);
    EXPECT_FALSE(LeadingNumber("1e999").has_value());
    EXPECT_EQ(*LeadingNumber("1e-999"), 0);
    EXPECT_FALSE(LeadingNumber(std::string(400, '9')).has_value());
}

TEST(Module1, LineBreakConversionAndCounting) {
    EXPECT_EQ(ToCrLf("a\nb\r\nc"), "a\r\nb\r\nc");
    EXPECT_EQ(ToLf("a\r\nb\r\n"), "a\nb\n");
    EXPECT_EQ(ToLf(ToCrLf("x\n\ny")), "x\n\ny");
    EXPECT_EQ(CountChar("\x1e" "a\x1e" "b", "\x1e"), 2);
    EXPECT_EQ(CountChar("abc", ""), 0);
    EXPECT_EQ(CountChar("", "a"), 0);
    EXPECT_EQ(CountChar("犬猫犬", "犬猫"), 2);
    EXPECT_EQ(LeadingDigits("  5:12 apples"), 5);
    EXPECT_EQ(LeadingDigits("1234:x"), 1234);
}
