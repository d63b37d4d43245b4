#include <gtest/gtest.h>

#include "files/DeckFile.h"

using namespace rvm;

namespace {
bool build(std::vector<std::string> records, DeckLists& d) { return BuildDeck(records, d); }
}  // namespace

TEST(DeckFile, TextLayoutInterleavesTheOrder) {
    EXPECT_EQ(DeckText({""}, {""}, {0}), "\x1f\r\n\x1f\r\n\x1f" "0\r\n");
    EXPECT_EQ(DeckText({"Q1", "Q2\r\nx"}, {"A1", "A2"}, {1, 0}),
              "\x1fQ1\r\n\x1f" "A1\r\n\x1f" "1\r\n\x1fQ2\r\nx\r\n\x1f" "A2\r\n\x1f" "0\r\n");
}

TEST(DeckFile, LinesEndAtCrOrCrLfButNotAtLoneLf) {
    std::vector<std::string> r;
    ASSERT_TRUE(SplitRecords("\x1f" "a\r\n\r\nb\r\x1f" "c\nd\r\n\x1f", r));
    ASSERT_EQ(r.size(), 3u);
    EXPECT_EQ(r[0], "a\r\n\r\nb");
    EXPECT_EQ(r[1], "c\nd");
    EXPECT_EQ(r[2], "");
    ASSERT_TRUE(SplitRecords("\x1f" "end\r\n\r\n", r));
    EXPECT_EQ(r[0], "end\r\n");  // a text ending in a line break keeps it
    EXPECT_FALSE(SplitRecords("stray\r\n\x1f" "a\r\n", r));
    ASSERT_TRUE(SplitRecords("", r));
    EXPECT_TRUE(r.empty());
}

TEST(DeckFile, BuildDeckAcceptsOnlyPermutations) {
    DeckLists d;
    EXPECT_TRUE(build({"a", "b", "1", "c", "d", "0", "stray"}, d));
    EXPECT_EQ(d.order, (std::vector<int>{1, 0}));
    EXPECT_EQ(d.upper, (std::vector<std::string>{"a", "c"}));
    EXPECT_TRUE(build({"a", "b", " 1", "c", "d", "0abc"}, d));
    EXPECT_FALSE(build({}, d));
    EXPECT_FALSE(build({"a", "b"}, d));
    EXPECT_FALSE(build({"a", "b", "1", "c", "d", "01"}, d));  // duplicates
    EXPECT_FALSE(build({"a", "b", "-1", "c", "d", "0"}, d));
    EXPECT_FALSE(build({"a", "b", "0.5", "c", "d", "1"}, d));
    EXPECT_FALSE(build({"a", "b", "2", "c", "d", "0"}, d));
    EXPECT_FALSE(build({"a", "b", "1e999", "c", "d", "0"}, d));
    std::vector<std::string> big;
    for (int k = 0; k <= 32768; ++k) big.insert(big.end(), {"q", "a", std::to_string(k)});
    EXPECT_FALSE(build(big, d));
    big.resize(3 * 32768);
    EXPECT_TRUE(build(big, d));
}

TEST(DeckFile, RecordMarksStartingAnInnerLineAreWrittenAsQuestionMarks) {
    const struct { std::string text, written; std::vector<std::size_t> marks; } rows[] = {
        {"\x1f" "a", "\x1f\x1f" "a", {}},  // the record's own line reads back whole
        {"a\r\n\x1f" "b", "\x1f" "a\r\n?b", {4}},
        {"a\r\x1f", "\x1f" "a\r?", {3}},
        {"a\n\x1f" "b\x1f", "\x1f" "a\n\x1f" "b\x1f", {}},  // a lone LF ends no line
    };
    for (const auto& r : rows) {
        std::vector<std::size_t> marks;
        const std::string text = DeckText({r.text}, {""}, {0}, nullptr, &marks);
        EXPECT_EQ(text.substr(0, text.find("\r\n\x1f\r\n")), r.written) << r.text;
        EXPECT_EQ(marks, r.marks) << r.text;
        std::vector<std::string> records;
        ASSERT_TRUE(SplitRecords(text, records));
        EXPECT_EQ(records.size(), 3u) << r.text;
    }
}
