#include <functional>
#include <map>

#include "Fixture.h"

using namespace rvm;
using namespace rvm::test;

struct Edit : DocFixture {
    const std::string rs = "\x1e";
    // Page commands by letter: x cut, c copy, v paste, i insert, d delete, u undo.
    void run(const std::string& keys) {
        const std::map<char, std::function<void()>> commands = {
            {'x', [&] { edits.cutPage(); }},   {'c', [&] { edits.copyPage(); }},
            {'v', [&] { edits.pastePage(); }}, {'i', [&] { edits.insertBlankPage(); }},
            {'d', [&] { edits.deletePage(); }}, {'u', [&] { doc.undo(); }}};
        for (char k : keys) commands.at(k)();
    }
};

// Storage order, display order and the page shown after each sequence, and
// the undo caption the Edit menu then shows.
TEST_F(Edit, CommandsRearrangeTheDeck) {
    const Strings abc{"A", "B", "C"}, abcde{"A", "B", "C", "D", "E"};
    const struct { Strings upper; Ints order; int at; std::string clip, keys;
                   Strings list1; Ints list3; int now; const char* undo; } rows[] = {
        {abc, {}, 1, "", "x", {"A", "C"}, {0, 1}, 1, "切り取り"},
        {abc, {}, 1, "", "xv", abc, {0, 1, 2}, 1, "貼り付け"},
        {abc, {}, 1, "", "i", {"A", "", "B", "C"}, {0, 1, 2, 3}, 1, "貼り付け"},
        {abc, {2, 0, 1}, 0, "", "d", {"A", "B"}, {0, 1}, 0, "削除"},
        {abc, {2, 0, 1}, 1, rs + "P" + rs + "p", "v", {"P", "A", "B", "C"}, {3, 0, 1, 2}, 1, "貼り付け"},
        // A clipboard that holds LF line breaks; an empty half is a page too.
        {abc, {}, 0, rs + "Q\nR" + rs, "v", {"Q\r\nR", "A", "B", "C"}, {0, 1, 2, 3}, 0, "貼り付け"},
        {abcde, {}, 4, "", "d", {"A", "B", "C", "D"}, {0, 1, 2, 3}, 3, "削除"},
        // Undo restores the deck; position 4 is back but 3 stays shown.
        {abcde, {}, 4, "", "du", abcde, {0, 1, 2, 3, 4}, 3, ""},
        // Undo only once: the insert is undone, the delete stays.
        {abcde, {4, 2, 0, 1, 3}, 2, "", "diuu", {"B", "C", "D", "E"}, {3, 1, 0, 2}, 2, ""},
    };
    for (const auto& r : rows) {
        deck(r.upper, r.order, r.at);
        prompt.clipboard = r.clip;
        run(r.keys);
        edits.menuState();
        EXPECT_EQ(std::tuple(questions(), doc.deck().displayOrder, doc.currentPage(), doc.changed()),
                  std::tuple(r.list1, r.list3, r.now, true));
        EXPECT_EQ(view.undoCaption, std::string("元に戻す(&U)") + r.undo) << r.keys;
    }
}

TEST_F(Edit, MenuStateFollowsDeckClipboardAndSnapshot) {
    deck({"a" + rs + "b"});
    EditMenuState st = edits.menuState();
    EXPECT_FALSE(st.undo || st.cut || st.del || st.order || st.paste);
    run("xdc");  // never loses the last page; a page holding kPageSeparator copies but does not paste
    for (const std::string& bad : {*prompt.clipboard, "x" + rs, rs + "Q", std::string(), "a" + rs + rs}) {
        prompt.clipboard = bad;
        EXPECT_FALSE(edits.menuState().paste) << bad;
        run("v");
    }
    EXPECT_TRUE(prompt.beeps == 5 && doc.lastPage() == 0 && !doc.canUndo());
    prompt.clipboard = rs + "Q" + rs;
    run("v");
    st = edits.menuState();
    EXPECT_TRUE(st.paste && st.undo && st.cut && st.del && st.order);
}

TEST_F(Edit, TypedTextGoesWithThePageThatMovesOn) {
    deck({"A", "B"});
    view.te[1] = "typed";
    prompt.clipboard = rs + "P" + rs;
    run("v");
    EXPECT_EQ(doc.deck().pages[1].answer, "typed");
    doc.setChanged(false);  // as after a save
    run("u");               // the snapshot predates the typing
    EXPECT_EQ(std::tuple(doc.deck().pages[0].answer, doc.changed(), view.saveEnabled), std::tuple(std::string("A'"), true, true));
}

// Whatever changes the deck behind the snapshot's back throws it away.
TEST_F(Edit, SnapshotIsThrownAwayByDeckChangesBehindIt) {
    const std::pair<std::function<void()>, bool> rows[] = {
        {[&] { doc.showPage(doc.lastPage() + 1, {.storeTyped = true, .appendPastLast = true}); }, false},  // appending
        {[&] { doc.applyOrder(randomOrder(), true); }, false},
        {[&] { doc.textEdited(); }, false},  // typing
        {[&] { run("c"); doc.showPage(0, {.storeTyped = true}); }, true},  // copying, moving
        {[&] { files.newDeck(); }, true},  // default Yes, Save As cancelled: no New
        {[&] { prompt.answers = {Answer::No}; files.newDeck(); }, false},
    };
    deck({"A", "B"});
    for (const auto& [change, kept] : rows) {
        run("i");
        change();
        EXPECT_EQ(edits.menuState().undo, kept);
    }
}

TEST_F(Edit, RandomSequencesKeepTheInvariants) {
    deck({"a", "b", "c"}, {1, 2, 0});
    std::mt19937 rng(7);
    for (int step = 0; step < 2000; ++step) {
        doc.showPage(static_cast<int>(rng() % (doc.lastPage() + 1)), {.storeTyped = true});
        const char k = "dixvuo"[rng() % 6];
        if (k == 'o') doc.applyOrder(randomOrder(), rng() % 2);
        else run({k});
        expectInvariants();
    }
}
