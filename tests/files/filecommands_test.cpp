#include "Fixture.h"
#include "TempDir.h"

using namespace rvm;
using namespace rvm::test;

struct FileCommands : DocFixture {
    TempDir dir;
    void SetUp() override {
        doc.SettingsPath = dir.file("Ravmemo.ini");
        doc.IEPlace = "xdg-open";
        doc.mnuFileNew_Click();
    }
    void edit() {
        view.te[0] = "edited";
        doc.Te_Change(0);
    }
};

TEST_F(FileCommands, NewAsksToSaveOnlyWithChanges) {
    doc.mnuFileNew_Click();
    EXPECT_TRUE(prompt.asked.empty());
    edit();
    prompt.answers = {Answer::Yes};  // then the Save As dialog is cancelled
    doc.mnuFileNew_Click();
    ASSERT_EQ(prompt.asked.size(), 1u);
    EXPECT_EQ(prompt.asked[0].text, "現在のファイルを保存しますか？");
    EXPECT_EQ(prompt.asked[0].buttons, Buttons::YesNo);
    EXPECT_EQ(prompt.asked[0].defaultButton, Answer::Yes);
    EXPECT_TRUE(doc.Changed);
    EXPECT_EQ(doc.List1[0], "edited");
    prompt.answers = {Answer::No};
    doc.mnuFileNew_Click();
    EXPECT_FALSE(doc.Changed);
    EXPECT_EQ(doc.List1[0], "");
    EXPECT_EQ(view.caption, "Ravolin Memorel - [無題]");
}

TEST_F(FileCommands, OpenWithChangesAlwaysShowsSaveAs) {
    const std::string a = dir.file("a.rvm"), b = dir.file("b.rvm");
    ASSERT_TRUE(doc.SaveW(a, false));
    spit(b, "\x1f" "B\r\n\x1f\r\n\x1f" "0\r\n");
    edit();
    prompt.answers = {Answer::Yes};
    prompt.saveChoices = {a};  // overwrite question answered Yes by default
    prompt.openChoices = {{b, false}};
    doc.mnuFileOpen_Click();
    EXPECT_EQ(prompt.saveDialogs, 1);
    EXPECT_EQ(slurp(a), "\x1f" "edited\r\n\x1f\r\n\x1f" "0\r\n");
    EXPECT_EQ(doc.FileName, b);
    EXPECT_EQ(doc.List1[0], "B");
}

TEST_F(FileCommands, CancelledOpenAndFailedLoadKeepTheDeck) {
    edit();
    prompt.answers = {Answer::No};
    doc.mnuFileOpen_Click();  // dialog cancelled
    EXPECT_TRUE(doc.Changed);
    prompt.answers = {Answer::No};
    prompt.openChoices = {{dir.file("gone.rvm"), false}};
    doc.mnuFileOpen_Click();
    EXPECT_TRUE(doc.Changed);
    EXPECT_EQ(view.te[0], "edited");
}

TEST_F(FileCommands, SaveWritesStraightOrAsksForAName) {
    const std::string path = dir.file("s.rvm");
    spit(path, "old");
    edit();
    prompt.saveChoices = {path};
    doc.mnuFileSave_Click();  // untitled: Save As, but no overwrite question
    EXPECT_TRUE(prompt.asked.empty());
    EXPECT_EQ(doc.FileName, path);
    edit();
    doc.mnuFileSave_Click();
    EXPECT_EQ(prompt.saveDialogs, 1);
    EXPECT_FALSE(doc.Changed);

    ASSERT_TRUE(doc.LoadW(path, true));  // opened read-only
    const std::string other = dir.file("other.rvm");
    prompt.saveChoices = {other};
    doc.mnuFileSave_Click();
    EXPECT_EQ(prompt.saveDialogs, 2);
    EXPECT_FALSE(doc.OpenedReadOnly);
    doc.mnuFileSave_Click();
    EXPECT_EQ(prompt.saveDialogs, 2);
    EXPECT_EQ(doc.FileName, other);

    prompt.saveChoices = {other};
    prompt.answers = {Answer::No};
    doc.mnuFileSaveAs_Click();
    EXPECT_EQ(prompt.asked.back().text, other + " は存在します。\r上書きしますか？");
}

TEST_F(FileCommands, ExitQuestions) {
    doc.ConfirmExit();  // default No: the program goes on
    ASSERT_EQ(prompt.asked.size(), 1u);
    EXPECT_EQ(prompt.asked[0].text, "終了しますか？");
    EXPECT_EQ(prompt.asked[0].defaultButton, Answer::No);
    EXPECT_FALSE(view.ended);

    edit();
    prompt.answers = {Answer::Cancel};
    doc.ConfirmExit();
    EXPECT_EQ(prompt.asked.back().text, "保存してから終了しますか？");
    EXPECT_EQ(prompt.asked.back().buttons, Buttons::YesNoCancel);
    EXPECT_EQ(prompt.asked.back().defaultButton, Answer::Yes);
    EXPECT_FALSE(view.ended);
    prompt.answers = {Answer::Yes};  // and the Save As dialog is cancelled
    doc.ConfirmExit();
    EXPECT_FALSE(view.ended);
    EXPECT_TRUE(doc.Changed);

    prompt.answers = {Answer::No};
    doc.ConfirmExit();
    EXPECT_TRUE(view.ended);
    EXPECT_EQ(slurp(doc.SettingsPath), "Hide = 1\r\nIEPlace = xdg-open\r\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path), {}), 1);
}

TEST_F(FileCommands, ExitAfterSaving) {
    edit();
    const std::string path = dir.file("end.rvm");
    prompt.answers = {Answer::Yes};
    prompt.saveChoices = {path};
    doc.HideMode = 2;
    doc.ConfirmExit();
    EXPECT_TRUE(view.ended);
    EXPECT_EQ(slurp(path).substr(0, 7), "\x1f" "edited");
    EXPECT_EQ(slurp(doc.SettingsPath).substr(0, 10), "Hide = 2\r\n");
}
