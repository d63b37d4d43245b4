#include "Fixture.h"
#include "deck/Module1.h"

using namespace rvm;
using namespace rvm::test;

using Document_ = DocFixture;

// In a shuffled deck: where a move lands and what the status bar and buttons say.
TEST_F(Document_, NavigationClampsAndAppendsOnlyRightAfterTheLastPage) {
    const struct { int from, to; bool addIt; int now; const char* status;
                   bool firstPrev, last, addLook; } rows[] = {
        {0, 1, true, 1, "2枚目  1ページ  全3枚", true, true, false},
        {1, -5, false, 0, "1枚目  3ページ  全3枚", false, true, false},
        {0, 3, false, 2, "3枚目  2ページ  全3枚", true, false, true},
        {0, 4, true, 2, "3枚目  2ページ  全3枚", true, false, true},
        {2, 3, true, 3, "4枚目  4ページ  全4枚", true, false, true},
    };
    for (const auto& r : rows) {
        deck({"A", "B", "C"}, {2, 0, 1});
        doc.CallTh(r.from, false, false, false);
        doc.CallTh(r.to, r.addIt, false, true);
        EXPECT_EQ(std::tuple(doc.NowPage, view.status), std::tuple(r.now, r.status)) << r.to;
        EXPECT_EQ(std::tuple(view.firstPrev, view.last, view.addLook),
                  std::tuple(r.firstPrev, r.last, r.addLook));
        expectInvariants();
    }
}

TEST_F(Document_, MovingStoresThePageLeftTypingAndAppendingChangeTheDeck) {
    deck({"A", "B"});
    view.te[1] = "typed";
    doc.CallTh(1, false, false, true);
    EXPECT_TRUE(doc.List2[0] == "typed" && view.te[0] == "B");
    doc.B3 = {0, 1};
    doc.Te_Change(0);
    EXPECT_TRUE(doc.Changed && view.saveEnabled && doc.B3.empty());
    doc.SetChanged(false);
    doc.B3 = {0, 1};
    doc.CallTh(2, true, false, true);
    EXPECT_TRUE(view.te[0].empty() && !view.covered[0] && !view.covered[1]);  // to be written
    EXPECT_TRUE(doc.Changed && view.saveEnabled && doc.B3.empty());
}

TEST_F(Document_, AFullDeckNeverGrows) {
    deck(Strings(kMaxPages, "q"));
    doc.CallTh(doc.MaxPage, false, false, false);
    doc.CallTh(doc.NowPage + 1, true, false, true);
    doc.mnuInsert_Click();
    prompt.clipboard = "\x1eQ\x1e";
    EXPECT_FALSE(doc.mnuEdit_Click().paste);
    EXPECT_TRUE(doc.MaxPage + 1 == kMaxPages && doc.NowPage == doc.MaxPage && !doc.Changed);
    EXPECT_EQ(prompt.beeps, 2);
}

TEST_F(Document_, CoversFollowTheHideMode) {
    const struct { int hideMode; bool looko, upper, lower; } rows[] = {
        {0, false, true, false}, {1, false, false, true}, {2, false, false, false},
        {0, true, false, false}, {1, true, false, false},  // the page is to be written
    };
    deck({"A", "B"});
    for (const auto& r : rows) {
        doc.CoverOn_Click(0);
        doc.CoverOn_Click(1);
        doc.HideMode = static_cast<std::int16_t>(r.hideMode);
        doc.CallTh(1, false, r.looko, false);
        EXPECT_EQ(std::pair(view.covered[0], view.covered[1]), std::pair(r.upper, r.lower))
            << r.hideMode << r.looko;
    }
    doc.Cover_Click(1);
    EXPECT_TRUE(!view.covered[1] && view.focused == 1 && !doc.Changed);  // covers are views only
}
