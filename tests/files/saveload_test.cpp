#include <sys/resource.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>

#include "Fixture.h"
#include "TempDir.h"
#include "deck/Module1.h"

using namespace rvm;
using namespace rvm::test;

namespace {
const char* const kNotADeck = "適当な *.rvm ファイルでありません。";
}

struct SaveLoad : DocFixture {
    TempDir dir;
    // The deck as it stands, to check that a rejected file changes nothing.
    void expectDeck(const std::vector<std::string>& upper) {
        EXPECT_EQ(doc.List1, upper);
        EXPECT_EQ(doc.MaxPage + 1, static_cast<int>(upper.size()));
    }
};

// Each file is read into the deck; a file the program could have written is
// written back to the same bytes. Rows without pages are refused.
TEST_F(SaveLoad, FileBytesAndTheDeckTheyHold) {
    const struct { std::string bytes; Strings upper, lower; Ints order; bool ours; } rows[] = {
        {"\x1f\r\n\x1f\r\n\x1f" "0\r\n", {""}, {""}, {0}, true},  // a new deck
        {"\x1fQ1\r\n\x1f" "A1\r\n\x1f" "1\r\n\x1fQ2\r\nx\r\n\x1f" "A2\r\n\x1f" "0\r\n",
         {"Q1", "Q2\r\nx"}, {"A1", "A2"}, {1, 0}, true},
        {"\x1f" "a\r\n\r\nb\r\n\x1f" "end\r\n\r\n\x1f" "0\r\n", {"a\r\n\r\nb"}, {"end\r\n"}, {0},
         true},
        {"\x1f\x8c\xa2\r\n\x1f\xca\xdd\xb6\xb8\r\n\x1f" "0\r\n", {"犬"}, {"ﾊﾝｶｸ"}, {0}, true},
        // A lone CR ends a line, a lone LF does not; loose order entries; a stray record.
        {"\x1fQ1\r\n\x1f" "A1\r\n\x1f 1\r\n\x1fQ2\r\x1f" "A2\n\r\n\x1f" "0th\r\n\x1fstray",
         {"Q1", "Q2"}, {"A1", "A2\n"}, {1, 0}, false},
        // Bad bytes do not lose the rest of the file.
        {"\x1f\x80\x82\xa0\r\n\x1f" "ok\r\n\x1f" "0\r\n", {"\uFFFDあ"}, {"ok"}, {0}, false},
        {"\x1f" "a\r\n\x1f" "b\r\n\x1f" "0.5\r\n", {}, {}, {}, false},
        {"\x1f" "a\r\n\x1f" "b\r\n\x1f" "1e999\r\n", {}, {}, {}, false},
    };
    const std::string in = dir.file("in.rvm"), out = dir.file("out.rvm");
    for (const auto& r : rows) {
        spit(in, r.bytes);
        doc.B3 = {0};
        const bool loaded = doc.LoadW(in);
        EXPECT_EQ(loaded, !r.upper.empty()) << r.bytes;
        if (!loaded) continue;
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
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path), {}), 2);

    std::string full;  // the most pages a deck holds, and one more
    for (int k = 0; k <= kMaxPages; ++k)
        full += "\x1fq\r\n\x1f" "a\r\n\x1f" + std::to_string(k) + "\r\n";
    spit(in, full);
    EXPECT_FALSE(doc.LoadW(in));
    spit(in, full.substr(0, full.rfind("\x1fq")));
    ASSERT_TRUE(doc.LoadW(in));
    EXPECT_EQ(doc.MaxPage + 1, kMaxPages);
}

TEST_F(SaveLoad, OverwriteIsAskedOnlyWhenChecking) {
    const std::string path = dir.file("x.rvm");
    spit(path, "old");
    deck({"A"});
    prompt.answers = {Answer::No};
    EXPECT_FALSE(doc.SaveW(path, true));
    EXPECT_EQ(slurp(path), "old");
    ASSERT_EQ(prompt.asked.size(), 1u);
    EXPECT_EQ(prompt.asked[0].text, path + " は存在します。\r上書きしますか？");
    EXPECT_EQ(prompt.asked[0].defaultButton, Answer::Yes);
    EXPECT_TRUE(doc.SaveW(path, false));
    prompt.saveChoices = {path};
    EXPECT_TRUE(doc.SaveW("", true));  // asked again, default Yes
    EXPECT_EQ(prompt.asked.size(), 2u);
    EXPECT_FALSE(doc.SaveW("", true));  // dialog cancelled
}

TEST_F(SaveLoad, UnsavableCharactersAreAskedAbout) {
    deck({"ok", "smile 😀"});
    doc.SetChanged(true);
    const std::string path = dir.file("emoji.rvm");
    EXPECT_FALSE(doc.SaveW(path, false));  // default No
    ASSERT_EQ(prompt.asked.size(), 1u);
    EXPECT_NE(prompt.asked[0].text.find("2ページ"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(path));
    EXPECT_TRUE(doc.Changed);
    prompt.answers = {Answer::Yes};
    EXPECT_TRUE(doc.SaveW(path, false));
    EXPECT_NE(slurp(path).find("smile ?"), std::string::npos);
}

TEST_F(SaveLoad, AFailedWriteKeepsTheOldFile) {
    const std::string path = dir.file("keep.rvm");
    const std::string old(10000, 'o');
    spit(path, old);
    deck({std::string(100000, 'x')});
    doc.SetChanged(true);
    // A file size limit makes the write fail half-way, as a full disk would.
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    rlimit small = saved;
    small.rlim_cur = 50000;
    setrlimit(RLIMIT_FSIZE, &small);
    const bool ok = doc.SaveW(path, false);
    setrlimit(RLIMIT_FSIZE, &saved);
    EXPECT_FALSE(ok);
    ASSERT_EQ(prompt.asked.size(), 1u);
    EXPECT_EQ(prompt.asked[0].icon, Icon::Error);
    EXPECT_EQ(slurp(path), old);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path), {}), 1);
    EXPECT_TRUE(doc.Changed);
    EXPECT_EQ(doc.FileName, "");

    EXPECT_FALSE(doc.SaveW(dir.file("no/such/folder.rvm"), false));
    EXPECT_EQ(prompt.asked.back().icon, Icon::Error);
}

TEST_F(SaveLoad, ReadOnlyFolderRefusesTheSave) {
    if (geteuid() == 0) GTEST_SKIP() << "root writes into read-only folders";
    std::filesystem::permissions(dir.path, std::filesystem::perms::owner_read |
                                               std::filesystem::perms::owner_exec);
    deck({"A"});
    EXPECT_FALSE(doc.SaveW(dir.file("x.rvm"), false));
    EXPECT_EQ(prompt.asked.back().icon, Icon::Error);
}

TEST_F(SaveLoad, MissingFileAndOtherErrorsAreTold) {
    deck({"keep"});
    doc.SetChanged(true);
    const std::string missing = dir.file("missing.rvm");
    EXPECT_FALSE(doc.LoadW(missing));
    ASSERT_EQ(prompt.asked.size(), 1u);
    EXPECT_EQ(prompt.asked[0].text, "[" + missing + "]が見つかりません。");
    EXPECT_EQ(prompt.asked[0].icon, Icon::None);
    EXPECT_EQ(prompt.asked[0].buttons, Buttons::Ok);

    EXPECT_FALSE(doc.LoadW(dir.file("nofolder/x.rvm")));
    EXPECT_EQ(prompt.asked.back().icon, Icon::Error);
    EXPECT_FALSE(doc.LoadW(dir.path.string()));  // a folder
    EXPECT_EQ(prompt.asked.back().icon, Icon::Error);
    expectDeck({"keep"});
    EXPECT_TRUE(doc.Changed);
}

TEST_F(SaveLoad, UnsuitableFilesChangeNothing) {
    deck({"keep", "this"}, {1, 0});
    doc.B3 = {0, 1};
    doc.SetFileName("/old.rvm");
    doc.SetChanged(true);
    const std::vector<std::string> bad = {
        "",
        "\x1f" "a\r\n\x1f" "b\r\n",
        "\x1f" "a\r\n\x1f" "b\r\n\x1f" "1\r\n\x1f" "c\r\n\x1f" "d\r\n\x1f" "01\r\n",
        "\x1f" "a\r\n\x1f" "b\r\n\x1f" "5\r\n",
        "\x1f" "a\r\n\x1f" "b\r\n\x1f" "-1\r\n",
        "junk\r\n\x1f" "a\r\n\x1f" "b\r\n\x1f" "0\r\n",
    };
    for (const auto& bytes : bad) {
        const std::string path = dir.file("bad.rvm");
        spit(path, bytes);
        prompt.asked.clear();
        EXPECT_FALSE(doc.LoadW(path));
        ASSERT_EQ(prompt.asked.size(), 1u);
        EXPECT_EQ(prompt.asked[0].text, kNotADeck);
        EXPECT_EQ(prompt.asked[0].icon, Icon::Error);
        expectDeck({"keep", "this"});
        EXPECT_EQ(doc.List3, (std::vector<int>{1, 0}));
        EXPECT_EQ(doc.FileName, "/old.rvm");
        EXPECT_TRUE(doc.Changed);
        EXPECT_EQ(doc.B3.size(), 2u);
    }
}

TEST_F(SaveLoad, SavingThroughALinkReplacesTheFileItNames) {
    const std::string real = dir.file("real.rvm"), link = dir.file("link.rvm");
    spit(real, "old");
    std::filesystem::create_symlink(real, link);
    deck({"A"});
    ASSERT_TRUE(doc.SaveW(link, false));
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(slurp(real).substr(0, 2), "\x1f" "A");
    EXPECT_EQ(doc.FileName, link);
}
