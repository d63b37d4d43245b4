#include <filesystem>

#include "Fixture.h"
#include "TempDir.h"
#include "deck/Module1.h"

using namespace rvm;
using namespace rvm::test;

struct SaveLoad : DocFixture {
    TempDir dir;
};

// Each file is read into the deck; a file the program could have written is
// written back to the same bytes.
TEST_F(SaveLoad, FileBytesAndTheDeckTheyHold) {
    const struct { std::string bytes; Strings upper, lower; Ints order; bool ours; } rows[] = {
        {"\x1f\r\n\x1f\r\n\x1f" "0\r\n", {""}, {""}, {0}, true},  // a new deck
        {"\x1fQ1\r\n\x1f" "A1\r\n\x1f" "1\r\n\x1fQ2\r\nx\r\n\x1f" "A2\r\n\x1f" "0\r\n",
         {"Q1", "Q2\r\nx"}, {"A1", "A2"}, {1, 0}, true},
        {"\x1f" "a\r\n\r\nb\r\n\x1f" "end\r\n\r\n\x1f" "0\r\n", {"a\r\n\r\nb"}, {"end\r\n"}, {0}, true},
        {"\x1f\x8c\xa2\r\n\x1f\xca\xdd\xb6\xb8\r\n\x1f" "0\r\n", {"犬"}, {"ﾊﾝｶｸ"}, {0}, true},
        // A record mark inside a record's first line, or after a lone LF, is text.
        {"\x1f\x1f" "a\r\n\x1f" "b\n\x1f" "c\x1f\r\n\x1f" "0\r\n", {"\x1f" "a"}, {"b\n\x1f" "c\x1f"}, {0}, true},
        // A lone CR ends a line, a lone LF does not; loose order entries; a stray record.
        {"\x1fQ1\r\n\x1f" "A1\r\n\x1f 1\r\n\x1fQ2\r\x1f" "A2\n\r\n\x1f" "0th\r\n\x1fstray",
         {"Q1", "Q2"}, {"A1", "A2\n"}, {1, 0}, false},
        // Bad bytes do not lose the rest of the file.
        {"\x1f\x80\x82\xa0\r\n\x1f" "ok\r\n\x1f" "0\r\n", {"\uFFFDあ"}, {"ok"}, {0}, false},
    };
    const std::string in = dir.file("in.rvm"), out = dir.file("out.rvm");
    for (const auto& r : rows) {
        spit(in, r.bytes);
        doc.B3 = {0};
        ASSERT_TRUE(doc.LoadW(in)) << r.bytes;
        EXPECT_EQ(doc.List1, r.upper);
        EXPECT_EQ(doc.List2, r.lower);
        EXPECT_EQ(doc.List3, r.order);
        EXPECT_TRUE(view.covered[1] && doc.B3.empty());  // the hidden half covered, no undo
        EXPECT_EQ(view.caption, "Ravolin Memorel - " + in);
        if (!r.ours) continue;
        doc.SetChanged(true);
        ASSERT_TRUE(doc.SaveW(out, false));
        EXPECT_EQ(slurp(out), r.bytes);
        EXPECT_FALSE(doc.Changed);
    }
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path), {}), 2);  // no leftovers

    std::string full;  // the most pages a deck holds, and one more
    for (int k = 0; k <= kMaxPages; ++k)
        full += "\x1fq\r\n\x1f" "a\r\n\x1f" + std::to_string(k) + "\r\n";
    spit(in, full);
    EXPECT_FALSE(doc.LoadW(in));
    spit(in, full.substr(0, full.rfind("\x1fq")));
    ASSERT_TRUE(doc.LoadW(in));
    EXPECT_EQ(doc.MaxPage + 1, kMaxPages);
}

// Characters code page 932 lacks, and record marks that would begin a line
// of their own, are asked about and written as '?'.
TEST_F(SaveLoad, UnsavableCharactersAreAskedAbout) {
    const std::pair<std::string, std::string> rows[] = {
        {"smile 😀", "smile ?"}, {"a\r\n\x1f" "b", "a\r\n?b"}, {"a\r\x1f", "a\r?"}};
    const std::string path = dir.file("unsavable.rvm");
    for (const auto& [text, written] : rows) {
        deck({"ok", text});
        doc.SetChanged(true);
        prompt.asked.clear();
        EXPECT_FALSE(doc.SaveW(path, false));  // default No
        ASSERT_EQ(prompt.asked.size(), 1u);
        EXPECT_NE(prompt.asked[0].text.find("2ページ"), std::string::npos);
        EXPECT_TRUE(!std::filesystem::exists(path) && doc.Changed);
        prompt.answers = {Answer::Yes};
        EXPECT_TRUE(doc.SaveW(path, false));
        EXPECT_NE(slurp(path).find("\x1f" + written + "\r\n"), std::string::npos) << text;
        std::filesystem::remove(path);
    }
}
