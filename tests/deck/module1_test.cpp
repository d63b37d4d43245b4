#include <gtest/gtest.h>

#include "deck/Module1.h"

using namespace rvm;

// Both readers (order entries and settings) take numbers through this.
TEST(Module1, LeadingNumberReadsLikeTheFileReader) {
    const std::pair<const char*, double> rows[] = {
        {"07", 7}, {"", 0}, {"3rd", 3}, {" 2", 2}, {"2.50", 2.5}, {"-4", -4}, {"+4x", 4},
        {"1e2", 100}, {"1e", 1}, {"abc", 0}, {".", 0}, {"1e-999", 0}};
    for (auto [text, value] : rows) EXPECT_EQ(LeadingNumber(text), value) << text;
    EXPECT_FALSE(LeadingNumber("1e999").has_value());
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
