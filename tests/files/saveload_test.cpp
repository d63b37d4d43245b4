#include <filesystem>

#include "Fixture.h"
#include "TempDir.h"

using namespace rvm;
using namespace rvm::test;

struct SaveLoad : DocFixture {
    TempDir dir;
};

TEST_F(SaveLoad, ANewDeckIsTenBytes) {
    doc.mnuFileNew_Click();
    const std::string path = dir.file("new.rvm");
    ASSERT_TRUE(doc.SaveW(path, false));
    EXPECT_EQ(slurp(path), std::string("\x1f\r\n\x1f\r\n\x1f" "0\r\n"));
    EXPECT_EQ(doc.FileName, path);
    EXPECT_EQ(view.caption, "Ravolin Memorel - " + path);
    EXPECT_FALSE(doc.Changed);
    EXPECT_TRUE(prompt.asked.empty());
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path), {}), 1);
}

TEST_F(SaveLoad, RoundTripKeepsEveryList) {
    deck({"a\r\n\r\nb", "ends with a break\r\n", "", "日本語 ﾊﾝｶｸ"}, {2, 0, 3, 1});
    doc.List2[1] = "";
    const std::string path = dir.file("deck.rvm");
    ASSERT_TRUE(doc.SaveW(path, false));
    const auto l1 = doc.List1, l2 = doc.List2;
    const auto l3 = doc.List3;
    EXPECT_NE(slurp(path).find("\x1f" "a\r\n\r\nb\r\n"), std::string::npos);
    doc.mnuFileNew_Click();
    ASSERT_TRUE(doc.LoadW(path));
    EXPECT_EQ(doc.List1, l1);
    EXPECT_EQ(doc.List2, l2);
    EXPECT_EQ(doc.List3, l3);
    EXPECT_EQ(doc.MaxPage, 3);
    EXPECT_EQ(view.status, "1枚目  3ページ  全4枚");
    EXPECT_EQ(view.caption, "Ravolin Memorel - " + path);
    EXPECT_FALSE(doc.Changed);
    EXPECT_TRUE(view.covered[1]);  // the hidden half is covered after a load
    EXPECT_EQ(slurp(path).substr(0, 3), "\x1f" "a\r");
}

TEST_F(SaveLoad, FileIsCodePage932) {
    deck({"犬"});
    const std::string path = dir.file("dog.rvm");
    ASSERT_TRUE(doc.SaveW(path, false));
    EXPECT_EQ(slurp(path), "\x1f\x8c\xa2\r\n\x1f\x8c\xa2'\r\n\x1f" "0\r\n");
}

TEST_F(SaveLoad, OverwriteIsAskedOnlyWhenChecking) {
    const std::string path = dir.file("x.rvm");
    spit(path, "old");
    deck({"A"});
    prompt.answers = {Answer::No};
    EXPECT_FALSE(doc.SaveW(path, true));
    ASSERT_EQ(prompt.asked.size(), 1u);
    EXPECT_EQ(prompt.asked[0].text, path + " は存在します。\r上書きしますか？");
    EXPECT_EQ(prompt.asked[0].icon, Icon::Question);
    EXPECT_EQ(prompt.asked[0].defaultButton, Answer::Yes);
    EXPECT_EQ(slurp(path), "old");
    EXPECT_TRUE(doc.SaveW(path, false));
    EXPECT_EQ(prompt.asked.size(), 1u);
    prompt.saveChoices = {path};
    EXPECT_TRUE(doc.SaveW("", true));  // default answer Yes
    EXPECT_EQ(prompt.asked.size(), 2u);
    prompt.saveChoices = {};
    EXPECT_FALSE(doc.SaveW("", true));  // dialog cancelled
}

TEST_F(SaveLoad, UnsavableCharactersAreAskedAbout) {
    deck({"ok", "smile 😀"});
    doc.SetChanged(true);
    const std::string path = dir.file("emoji.rvm");
    EXPECT_FALSE(doc.SaveW(path, false));  // default No
    ASSERT_EQ(prompt.asked.size(), 1u);
    EXPECT_NE(prompt.asked[0].text.find("2ページ"), std::string::npos);
    EXPECT_EQ(prompt.asked[0].defaultButton, Answer::No);
    EXPECT_FALSE(std::filesystem::exists(path));
    EXPECT_TRUE(doc.Changed);
    prompt.answers = {Answer::Yes};
    EXPECT_TRUE(doc.SaveW(path, false));
    EXPECT_NE(slurp(path).find("smile ?"), std::string::npos);
}

TEST_F(SaveLoad, LoadAcceptsLooseOrderEntriesAndStrayRecords) {
    const std::string path = dir.file("loose.rvm");
    spit(path, "\x1fQ1\r\n\x1f" "A1\r\n\x1f 1\r\n\x1fQ2\r\x1f" "A2\n\r\n\x1f" "0th\r\n\x1fstray");
    doc.B3 = {0};
    ASSERT_TRUE(doc.LoadW(path, true));
    EXPECT_EQ(doc.List1, (std::vector<std::string>{"Q1", "Q2"}));
    EXPECT_EQ(doc.List2[1], "A2\n");
    EXPECT_EQ(doc.List3, (std::vector<int>{1, 0}));
    EXPECT_EQ(view.te[0], "Q2");
    EXPECT_TRUE(doc.OpenedReadOnly);
    EXPECT_TRUE(doc.B3.empty());
    EXPECT_EQ(doc.List4.size(), 7u);
}

TEST_F(SaveLoad, BadBytesDoNotLoseTheRestOfTheFile) {
    const std::string path = dir.file("bytes.rvm");
    spit(path, "\x1f\x80\x82\xa0\r\n\x1f" "ok\r\n\x1f" "0\r\n");
    ASSERT_TRUE(doc.LoadW(path));
    EXPECT_EQ(doc.List1[0], "\uFFFDあ");
    EXPECT_EQ(doc.List2[0], "ok");
}
