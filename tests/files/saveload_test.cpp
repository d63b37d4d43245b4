// Decks to and from files, and the File menu's questions.
#include <filesystem>
#include <tuple>

#include "Fixture.h"
#include "TempDir.h"
#include "deck/Deck.h"

using namespace rvm;
using namespace rvm::test;

struct Files : DocFixture {
    TempDir dir;
    void edit() {
        view.te[0] = "edited";
        doc.textEdited();
    }
};

// Each file is read into the deck; a file the program could have written is
// written back to the same bytes.
TEST_F(Files, FileBytesAndTheDeckTheyHold) {
    const struct { std::string bytes; Strings upper, lower; Ints order; bool ours; } rows[] = {
        {"\x1f\r\n\x1f\r\n\x1f" "0\r\n", {""}, {""}, {0}, true},  // a new deck
        {"\x1fQ1\r\n\x1f" "A1\r\n\x1f" "1\r\n\x1fQ2\r\nx\r\n\x1f" "A2\r\n\x1f" "0\r\n",
         {"Q1", "Q2\r\nx"}, {"A1", "A2"}, {1, 0}, true},
        {"\x1f" "a\r\n\r\nb\r\n\x1f" "end\r\n\r\n\x1f" "0\r\n", {"a\r\n\r\nb"}, {"end\r\n"}, {0}, true},
        {"\x1f\x8c\xa2\r\n\x1f\xca\xdd\xb6\xb8\r\n\x1f" "0\r\n", {"犬"}, {"ﾊﾝｶｸ"}, {0}, true},
        // A record mark inside a record's first line, or after a lone LF, is text.
        {"\x1f\x1f" "a\r\n\x1f" "b\n\x1f" "c\x1f\r\n\x1f" "0\r\n", {"\x1f" "a"}, {"b\n\x1f" "c\x1f"}, {0},
         true},
        // A lone CR ends a line, a lone LF does not; loose order entries; a stray record.
        {"\x1fQ1\r\n\x1f" "A1\r\n\x1f 1\r\n\x1fQ2\r\x1f" "A2\n\r\n\x1f" "0th\r\n\x1fstray",
         {"Q1", "Q2"}, {"A1", "A2\n"}, {1, 0}, false},
        // Bad bytes do not lose the rest of the file.
        {"\x1f\x80\x82\xa0\r\n\x1f" "ok\r\n\x1f" "0\r\n", {"\uFFFDあ"}, {"ok"}, {0}, false},
    };
    const std::string in = dir.file("in.rvm"), out = dir.file("out.rvm");
    for (const auto& r : rows) {
        spit(in, r.bytes);
        edits.insertBlankPage();  // something to undo
        ASSERT_TRUE(files.loadDeck(in)) << r.bytes;
        EXPECT_EQ(std::tuple(questions(), answers(), doc.deck().displayOrder), std::tie(r.upper, r.lower, r.order));
        EXPECT_TRUE(view.covered[1] && !doc.canUndo());  // the hidden half covered, no undo
        EXPECT_EQ(view.caption, "Ravolin Memorel - " + in);
        if (!r.ours) continue;
        ASSERT_TRUE(files.saveDeck(out, false));
        EXPECT_EQ(slurp(out), r.bytes);
    }
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path), {}), 2);  // no leftovers

    std::string full;  // the most pages a deck holds, and one more
    for (int k = 0; k <= kMaxPages; ++k) full += "\x1fq\r\n\x1f" "a\r\n\x1f" + std::to_string(k) + "\r\n";
    spit(in, full);
    EXPECT_FALSE(files.loadDeck(in));
    spit(in, full.substr(0, full.rfind("\x1fq")));
    ASSERT_TRUE(files.loadDeck(in));
    EXPECT_EQ(doc.lastPage() + 1, kMaxPages);
}

// Characters code page 932 lacks, and record marks that would begin a line
// of their own, are asked about and written as '?'.
TEST_F(Files, UnsavableCharactersAreAskedAbout) {
    const std::pair<std::string, std::string> rows[] = {
        {"smile 😀", "smile ?"}, {"a\r\n\x1f" "b", "a\r\n?b"}, {"a\r\x1f", "a\r?"}};
    const std::string path = dir.file("unsavable.rvm");
    for (const auto& [text, written] : rows) {
        deck({"ok", text});
        doc.setChanged(true);
        prompt.asked.clear();
        EXPECT_FALSE(files.saveDeck(path, false));  // default No
        ASSERT_EQ(prompt.asked.size(), 1u);
        EXPECT_NE(prompt.asked[0].text.find("2ページ"), std::string::npos);
        EXPECT_TRUE(!std::filesystem::exists(path) && doc.changed());
        prompt.answers = {Answer::Yes};
        EXPECT_TRUE(files.saveDeck(path, false));
        EXPECT_NE(slurp(path).find("\x1f" + written + "\r\n"), std::string::npos) << text;
        std::filesystem::remove(path);
    }
}

// New and Open ask to save unsaved changes first, and go on once the answer
// is No or the deck is saved.
TEST_F(Files, NewAndOpenAskToSaveChanges) {
    const std::string a = dir.file("a.rvm"), b = dir.file("b.rvm");
    spit(b, "\x1f" "B\r\n\x1f\r\n\x1f" "0\r\n");
    prompt.openChoices = {{b, false}};
    files.openDeck();  // nothing changed: nothing asked
    EXPECT_EQ(doc.deck().pages[0].question, "B");
    files.newDeck();
    EXPECT_TRUE(prompt.asked.empty() && doc.deck().pages[0].question.empty());
    EXPECT_EQ(view.caption, "Ravolin Memorel - [無題]");
    edit();
    prompt.answers = {Answer::No};
    files.openDeck();  // No, then the Open dialog is cancelled
    files.newDeck();   // default Yes, then the Save As dialog is cancelled
    ASSERT_EQ(prompt.asked.size(), 2u);
    EXPECT_EQ(prompt.asked[0].text, "現在のファイルを保存しますか？");
    EXPECT_EQ(prompt.asked[1].defaultButton, Answer::Yes);
    EXPECT_TRUE(doc.changed() && view.te[0] == "edited" && prompt.openDialogs == 2);
    files.setFileName(dir.file("named.rvm"));  // a named deck is saved through Save As too
    prompt.answers = {Answer::Yes};
    prompt.saveChoices = {a};
    prompt.openChoices = {{b, false}};
    files.openDeck();
    EXPECT_EQ(slurp(a), "\x1f" "edited\r\n\x1f\r\n\x1f" "0\r\n");
    EXPECT_TRUE(files.fileName() == b && doc.deck().pages[0].question == "B");
    edit();
    prompt.answers = {Answer::No};
    files.newDeck();
    EXPECT_TRUE(!doc.changed() && doc.deck().pages[0].question.empty());
}

// Save writes to the deck's own file, or asks for a name; Save As asks before
// replacing a file.
TEST_F(Files, SaveAndSaveAs) {
    const std::string path = dir.file("s.rvm"), other = dir.file("other.rvm");
    spit(path, "old");
    spit(other, "old");
    edit();
    prompt.saveChoices = {path};
    files.save();  // untitled: the file dialog, no question of ours
    EXPECT_TRUE(prompt.asked.empty() && files.fileName() == path);
    edit();
    files.save();
    EXPECT_TRUE(prompt.saveDialogs == 1 && !doc.changed());
    prompt.saveChoices = {other};
    prompt.answers = {Answer::No};
    files.saveAs();
    ASSERT_EQ(prompt.asked.size(), 1u);
    EXPECT_EQ(prompt.asked[0].text, other + " は存在します。\r上書きしますか？");
    EXPECT_TRUE(slurp(other) == "old" && files.fileName() == path);
    ASSERT_TRUE(files.loadDeck(path, true));  // opened read-only: asks for a name once
    prompt.saveChoices = {other};
    files.save();
    files.save();
    EXPECT_EQ(std::tie(prompt.saveDialogs, files.fileName()), std::tuple(3, other));
}

// The answers to the exit question, with and without unsaved changes.
TEST_F(Files, ExitQuestions) {
    const std::string deckFile = dir.file("end.rvm");
    const struct { bool changed; std::deque<Answer> answers; std::string saveAs; bool ended; } rows[] = {
        {false, {}, "", false},  // default No: the program goes on
        {false, {Answer::Yes}, "", true},
        {true, {Answer::Cancel}, "", false},
        {true, {}, "", false},  // default Yes, Save As cancelled
        {true, {Answer::No}, "", true},
        {true, {Answer::Yes}, deckFile, true},
    };
    for (const auto& r : rows) {
        doc.setChanged(r.changed);
        prompt.answers = r.answers;
        prompt.saveChoices = {r.saveAs};
        const bool ended = files.confirmExit();
        const Asked& q = prompt.asked.back();
        EXPECT_EQ(std::tuple(q.text, q.buttons, q.defaultButton),
                  r.changed ? std::tuple("保存してから終了しますか？", Buttons::YesNoCancel, Answer::Yes)
                            : std::tuple("終了しますか？", Buttons::YesNo, Answer::No));
        EXPECT_EQ(ended, r.ended);
        EXPECT_EQ(std::filesystem::exists(deckFile), !r.saveAs.empty());  // saved only when asked
    }
}
