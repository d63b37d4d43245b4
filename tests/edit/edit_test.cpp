#include "Fixture.h"
#include "deck/Module1.h"

using namespace rvm;
using namespace rvm::test;

namespace {
const std::string rs(1, '\x1e');
}

using Edit = DocFixture;

TEST_F(Edit, CopyPutsRsUpperRsLower) {
    deck({"apple"});
    doc.List2[0] = "りんご";
    doc.CallTh(0, false, false, false);
    doc.mnuEditCopy_Click();
    EXPECT_EQ(*prompt.clipboard, rs + "apple" + rs + "りんご");
    EXPECT_FALSE(doc.Changed);
    EXPECT_TRUE(doc.B3.empty());
}

TEST_F(Edit, CutThenPastePutsThePageBack) {
    deck({"A", "B", "C"});
    doc.CallTh(1, false, false, false);
    doc.mnuEditCut_Click();
    EXPECT_EQ(view.te[0], "C");
    EXPECT_EQ(doc.NowPage, 1);
    EXPECT_EQ(view.undoCaption, "元に戻す(&U)切り取り");
    EXPECT_TRUE(doc.Changed);
    doc.mnuEditPaste_Click();
    EXPECT_EQ(shown(), (std::vector<std::string>{"A", "B", "C"}));
    EXPECT_EQ(doc.List2[1], "B'");
    EXPECT_EQ(view.te[0], "B");
    EXPECT_EQ(view.undoCaption, "元に戻す(&U)貼り付け");
    expectInvariants();
}

TEST_F(Edit, InsertInTheMiddle) {
    deck({"1", "2", "3", "4", "5"});
    doc.CallTh(2, false, false, false);
    doc.mnuInsert_Click();
    EXPECT_EQ(view.status, "3枚目  3ページ  全6枚");
    EXPECT_EQ(shown(), (std::vector<std::string>{"1", "2", "", "3", "4", "5"}));
    EXPECT_EQ(view.undoCaption, "元に戻す(&U)貼り付け");
    EXPECT_FALSE(prompt.clipboard.has_value());
    expectInvariants();
}

TEST_F(Edit, DeleteAndPasteInAShuffledDeck) {
    deck({"A", "B", "C"}, {2, 0, 1});
    doc.mnuEditDel_Click();
    EXPECT_EQ(doc.List1, (std::vector<std::string>{"A", "B"}));
    EXPECT_EQ(doc.List3, (std::vector<int>{0, 1}));
    EXPECT_EQ(view.status, "1枚目  1ページ  全2枚");

    deck({"A", "B", "C"}, {2, 0, 1});
    doc.CallTh(1, false, false, false);
    prompt.clipboard = rs + "P" + rs + "p";
    doc.mnuEditPaste_Click();
    EXPECT_EQ(doc.List1, (std::vector<std::string>{"P", "A", "B", "C"}));
    EXPECT_EQ(doc.List3, (std::vector<int>{3, 0, 1, 2}));
    EXPECT_EQ(shown(), (std::vector<std::string>{"C", "P", "A", "B"}));
    EXPECT_EQ(doc.NowPage, 1);
    expectInvariants();
}

TEST_F(Edit, DeletingTheLastShownPageShowsTheOneBefore) {
    deck({"A", "B", "C", "D", "E"});
    doc.CallTh(4, false, false, false);
    doc.mnuEditDel_Click();
    EXPECT_EQ(doc.NowPage, 3);
    EXPECT_EQ(view.te[0], "D");
    doc.mnuEditUndo_Click();  // back at position 4, but position 3 is shown
    EXPECT_EQ(shown(), (std::vector<std::string>{"A", "B", "C", "D", "E"}));
    EXPECT_EQ(doc.NowPage, 3);
}

TEST_F(Edit, MenuStateFollowsDeckClipboardAndSnapshot) {
    deck({"only"});
    EditMenuState st = doc.mnuEdit_Click();
    EXPECT_FALSE(st.undo);
    EXPECT_FALSE(st.cut);
    EXPECT_FALSE(st.del);
    EXPECT_FALSE(st.order);
    EXPECT_FALSE(st.paste);
    doc.mnuEditDel_Click();  // never loses the last page
    doc.mnuEditCut_Click();
    EXPECT_EQ(doc.MaxPage, 0);
    for (const std::string& bad : {std::string("x"), rs + "Q", rs + "Q" + rs + "A" + rs + "B",
                                   std::string(), "a" + rs + rs}) {
        prompt.clipboard = bad;
        EXPECT_FALSE(doc.mnuEdit_Click().paste) << bad;
        const int beeps = prompt.beeps;
        doc.InsPage(bad);
        EXPECT_EQ(prompt.beeps, beeps + 1);
        EXPECT_EQ(doc.MaxPage, 0);
        EXPECT_TRUE(doc.B3.empty());
    }
    prompt.clipboard = rs + "Q" + rs;
    st = doc.mnuEdit_Click();
    EXPECT_TRUE(st.paste);
    doc.mnuEditPaste_Click();
    EXPECT_EQ(doc.List1[0], "Q");
    EXPECT_EQ(doc.List2[0], "");
    st = doc.mnuEdit_Click();
    EXPECT_TRUE(st.undo && st.cut && st.del && st.order);
    view.te[0] = "typing";
    doc.Te_Change(0);
    st = doc.mnuEdit_Click();
    EXPECT_FALSE(st.undo);
    EXPECT_EQ(view.undoCaption, "元に戻す(&U)");
}

TEST_F(Edit, APageHoldingRsCopiesButDoesNotPaste) {
    deck({"a" + rs + "b"});
    doc.mnuEditCopy_Click();
    EXPECT_FALSE(doc.mnuEdit_Click().paste);
}

TEST_F(Edit, LineBreaksSurviveAnLfOnlyClipboard) {
    deck({"line1\r\nline2"});
    doc.mnuEditCopy_Click();
    prompt.clipboard = ToLf(*prompt.clipboard);
    doc.mnuEditPaste_Click();
    EXPECT_EQ(doc.List1[0], "line1\r\nline2");
}

TEST_F(Edit, TypedTextGoesWithThePageThatMovesOn) {
    deck({"A", "B"});
    view.te[1] = "typed";
    prompt.clipboard = rs + "P" + rs;
    doc.mnuEditPaste_Click();
    EXPECT_EQ(doc.List2[1], "typed");
    doc.mnuEditUndo_Click();  // the snapshot predates the typing
    EXPECT_EQ(doc.List2[0], "A'");
    EXPECT_TRUE(doc.Changed);
}

TEST_F(Edit, UndoRestoresExactlyAndOnlyOnce) {
    deck({"1", "2", "3", "4", "5"}, {4, 2, 0, 1, 3});
    doc.CallTh(2, false, false, false);
    const auto l1 = doc.List1, l2 = doc.List2;
    const auto l3 = doc.List3;
    doc.mnuEditDel_Click();
    doc.mnuInsert_Click();
    doc.mnuEditUndo_Click();  // undoes only the insert
    EXPECT_EQ(doc.MaxPage, 3);
    EXPECT_TRUE(doc.B3.empty());
    doc.mnuEditUndo_Click();  // nothing left: no change
    EXPECT_EQ(doc.MaxPage, 3);

    deck({"1", "2", "3", "4", "5"}, {4, 2, 0, 1, 3});
    doc.CallTh(2, false, false, false);
    doc.mnuEditDel_Click();
    doc.SetChanged(false);  // as after a save
    doc.mnuEditUndo_Click();
    EXPECT_EQ(doc.List1, l1);
    EXPECT_EQ(doc.List2, l2);
    EXPECT_EQ(doc.List3, l3);
    EXPECT_EQ(doc.NowPage, 2);
    EXPECT_TRUE(doc.Changed);
    EXPECT_TRUE(view.saveEnabled);
}

TEST_F(Edit, SnapshotIsThrownAwayByDeckChangesBehindIt) {
    deck({"A", "B"});
    doc.mnuInsert_Click();
    doc.CallTh(doc.MaxPage + 1, true, false, true);  // append
    EXPECT_TRUE(doc.B3.empty());
    doc.mnuInsert_Click();
    doc.ApplyOrder({0, 1, 2, 3, 4}, true);
    EXPECT_TRUE(doc.B3.empty());
    doc.mnuInsert_Click();
    doc.mnuEditCopy_Click();
    doc.CallTh(0, false, false, true);
    EXPECT_FALSE(doc.B3.empty());  // copy and moving keep it
    doc.mnuFileNew_Click();        // default answer Yes, Save As cancelled: kept
    EXPECT_FALSE(doc.B3.empty());
    prompt.answers = {Answer::No};
    doc.mnuFileNew_Click();
    EXPECT_TRUE(doc.B3.empty());
}

TEST_F(Edit, TheDeckNeverGrowsPastItsLimit) {
    deck(std::vector<std::string>(kMaxPages, "p"));
    doc.mnuInsert_Click();
    EXPECT_EQ(doc.MaxPage + 1, kMaxPages);
    EXPECT_EQ(prompt.beeps, 1);
    prompt.clipboard = rs + rs;
    EXPECT_FALSE(doc.mnuEdit_Click().paste);
}

TEST_F(Edit, RandomSequencesKeepTheInvariants) {
    deck({"a", "b", "c"}, {1, 2, 0});
    std::mt19937 rng(7);
    for (int step = 0; step < 2000; ++step) {
        doc.CallTh(static_cast<int>(rng() % (doc.MaxPage + 1)), false, false, true);
        switch (rng() % 6) {
        case 0: doc.mnuEditDel_Click(); break;
        case 1: doc.mnuInsert_Click(); break;
        case 2: doc.mnuEditCut_Click(); break;
        case 3: doc.mnuEditPaste_Click(); break;
        case 4: doc.mnuEditUndo_Click(); break;
        case 5: doc.ApplyOrder(doc.RandomOrder(), rng() % 2); break;
        }
        expectInvariants();
    }
}
