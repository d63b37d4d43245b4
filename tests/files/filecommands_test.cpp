#include "Fixture.h"
#include "TempDir.h"

using namespace rvm;
using namespace rvm::test;

struct FileCommands : DocFixture {
    TempDir dir;
    void SetUp() override {
        doc.SettingsPath = dir.file("Ravmemo.ini");
        doc.IEPlace = "xdg-open";
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
    doc.mnuFileNew_Click();  // default Yes, then the Save As dialog is cancelled
    ASSERT_EQ(prompt.asked.size(), 1u);
    EXPECT_EQ(prompt.asked[0].text, "現在のファイルを保存しますか？");
    EXPECT_EQ(prompt.asked[0].defaultButton, Answer::Yes);
    EXPECT_TRUE(doc.Changed && doc.List1[0] == "edited");
    doc.SetFileName("/old.rvm");
    prompt.answers = {Answer::No};
    doc.mnuFileNew_Click();
    EXPECT_TRUE(!doc.Changed && doc.List1[0].empty());
    EXPECT_EQ(view.caption, "Ravolin Memorel - [無題]");
}

TEST_F(FileCommands, OpenAsksToSaveFirstAndKeepsTheDeckWhenNothingLoads) {
    const std::string a = dir.file("a.rvm"), b = dir.file("b.rvm");
    ASSERT_TRUE(doc.SaveW(a, false));
    spit(b, "\x1f" "B\r\n\x1f\r\n\x1f" "0\r\n");
    edit();
    prompt.answers = {Answer::No, Answer::No};
    prompt.openChoices = {{}, {dir.file("gone.rvm"), false}};  // cancelled, then a missing file
    doc.mnuFileOpen_Click();
    doc.mnuFileOpen_Click();
    EXPECT_TRUE(doc.Changed && view.te[0] == "edited");
    prompt.answers = {Answer::Yes};  // a named deck is saved through Save As too
    prompt.saveChoices = {a};        // and the overwrite question answered Yes by default
    prompt.openChoices = {{b, false}};
    doc.mnuFileOpen_Click();
    EXPECT_EQ(prompt.saveDialogs, 1);
    EXPECT_EQ(slurp(a), "\x1f" "edited\r\n\x1f\r\n\x1f" "0\r\n");
    EXPECT_TRUE(doc.FileName == b && doc.List1[0] == "B");
}

// Save writes to the deck's own file, or asks for a name; Save As asks before
// replacing a file.
TEST_F(FileCommands, SaveAndSaveAs) {
    const std::string path = dir.file("s.rvm"), other = dir.file("other.rvm");
    spit(path, "old");
    spit(other, "old");
    edit();
    prompt.saveChoices = {path};
    doc.mnuFileSave_Click();  // untitled: the file dialog, no question of ours
    EXPECT_TRUE(prompt.asked.empty() && doc.FileName == path);
    edit();
    doc.mnuFileSave_Click();
    EXPECT_TRUE(prompt.saveDialogs == 1 && !doc.Changed);
    prompt.saveChoices = {other};
    prompt.answers = {Answer::No};
    doc.mnuFileSaveAs_Click();
    ASSERT_EQ(prompt.asked.size(), 1u);
    EXPECT_EQ(prompt.asked[0].text, other + " は存在します。\r上書きしますか？");
    EXPECT_TRUE(slurp(other) == "old" && doc.FileName == path);
    ASSERT_TRUE(doc.LoadW(path, true));  // opened read-only: asks for a name once
    prompt.saveChoices = {other};
    doc.mnuFileSave_Click();
    doc.mnuFileSave_Click();
    EXPECT_EQ(prompt.saveDialogs, 3);
    EXPECT_EQ(doc.FileName, other);
}

// The answers to the exit question, with and without unsaved changes.
TEST_F(FileCommands, ExitQuestions) {
    const std::string deckFile = dir.file("end.rvm");
    const struct { bool changed; std::deque<Answer> answers; std::string saveAs; bool ended; }
        rows[] = {
        {false, {}, "", false},  // default No: the program goes on
        {false, {Answer::Yes}, "", true},
        {true, {Answer::Cancel}, "", false},
        {true, {}, "", false},  // default Yes, Save As cancelled
        {true, {Answer::No}, "", true},
        {true, {Answer::Yes}, deckFile, true},
    };
    doc.HideMode = 2;
    for (const auto& r : rows) {
        view.ended = false;
        std::filesystem::remove(doc.SettingsPath);
        doc.SetChanged(r.changed);
        prompt.answers = r.answers;
        prompt.saveChoices = {r.saveAs};
        doc.ConfirmExit();
        const Asked& q = prompt.asked.back();
        EXPECT_EQ(q.text, r.changed ? "保存してから終了しますか？" : "終了しますか？");
        EXPECT_EQ(q.buttons, r.changed ? Buttons::YesNoCancel : Buttons::YesNo);
        EXPECT_EQ(q.defaultButton, r.changed ? Answer::Yes : Answer::No);
        EXPECT_EQ(view.ended, r.ended);
        EXPECT_EQ(slurp(doc.SettingsPath), r.ended ? "Hide = 2\r\nIEPlace = xdg-open\r\n" : "");
        EXPECT_EQ(std::filesystem::exists(deckFile), !r.saveAs.empty());  // saved only when asked
    }
}
