#include "Fixture.h"
#include "deck/Module1.h"

using namespace rvm;
using namespace rvm::test;

using Document_ = DocFixture;

TEST_F(Document_, NewDeckShowsOneBlankPageUncovered) {
    doc.mnuFileNew_Click();
    EXPECT_EQ(view.status, "1枚目  1ページ  全1枚");
    EXPECT_EQ(view.caption, "Ravolin Memorel - [無題]");
    EXPECT_FALSE(view.firstPrev);
    EXPECT_FALSE(view.last);
    EXPECT_TRUE(view.addLook);
    EXPECT_FALSE(view.covered[0]);
    EXPECT_FALSE(view.covered[1]);
    EXPECT_FALSE(view.saveEnabled);
    expectInvariants();
}

TEST_F(Document_, CaptionShowsTheWholePath) {
    doc.SetFileName("/home/user/decks/words.rvm");
    EXPECT_EQ(view.caption, "Ravolin Memorel - /home/user/decks/words.rvm");
    doc.SetFileName("");
    EXPECT_EQ(view.caption, "Ravolin Memorel - [無題]");
}

TEST_F(Document_, NavigationClampsAndStoresThePageLeft) {
    deck({"A", "B", "C"});
    view.te[1] = "typed";
    doc.CallTh(doc.NowPage + 1, false, false, true);
    EXPECT_EQ(doc.List2[0], "typed");
    EXPECT_EQ(view.te[0], "B");
    EXPECT_TRUE(view.firstPrev);
    EXPECT_TRUE(view.last);
    EXPECT_FALSE(view.addLook);
    EXPECT_FALSE(doc.Changed);  // moving is no change

    doc.CallTh(-5, false, false, false);
    EXPECT_EQ(doc.NowPage, 0);
    doc.CallTh(doc.MaxPage + 1, false, false, false);
    EXPECT_EQ(doc.NowPage, 2);
    EXPECT_EQ(doc.MaxPage, 2);
    doc.CallTh(doc.MaxPage + 2, true, false, false);
    EXPECT_EQ(doc.MaxPage, 2);
    EXPECT_TRUE(view.addLook);
    EXPECT_FALSE(view.last);
    expectInvariants();
}

TEST_F(Document_, NextOnTheLastPageAppendsABlankUncoveredPage) {
    deck({"A", "B", "C"});
    doc.CallTh(2, false, false, false);
    doc.B3 = {0, 1, 2};
    view.te[0] = "C edited";
    doc.CallTh(doc.NowPage + 1, true, false, true);
    EXPECT_EQ(doc.List1[2], "C edited");
    EXPECT_EQ(doc.MaxPage, 3);
    EXPECT_EQ(doc.List3.back(), 3);
    EXPECT_EQ(view.te[0], "");
    EXPECT_FALSE(view.covered[0]);
    EXPECT_FALSE(view.covered[1]);
    EXPECT_TRUE(doc.Changed);
    EXPECT_TRUE(view.saveEnabled);
    EXPECT_TRUE(doc.B3.empty());
    EXPECT_EQ(view.status, "4枚目  4ページ  全4枚");
    EXPECT_TRUE(view.addLook);
    expectInvariants();
}

TEST_F(Document_, AFullDeckBeepsInsteadOfGrowing) {
    std::vector<std::string> pages(kMaxPages, "q");
    deck(pages);
    doc.CallTh(doc.MaxPage, false, false, false);
    doc.CallTh(doc.NowPage + 1, true, false, true);
    EXPECT_EQ(doc.MaxPage + 1, kMaxPages);
    EXPECT_EQ(prompt.beeps, 1);
    EXPECT_EQ(doc.NowPage, doc.MaxPage);
    EXPECT_FALSE(doc.Changed);
}

TEST_F(Document_, StatusShowsDisplayAndStoragePositions) {
    std::vector<std::string> pages;
    for (int k = 0; k < 10; ++k) pages.push_back(std::to_string(k));
    deck(pages, {7, 0, 1, 2, 3, 4, 5, 6, 8, 9});
    EXPECT_EQ(view.status, "1枚目  8ページ  全10枚");
    EXPECT_EQ(view.te[0], "7");
}

TEST_F(Document_, CoversFollowTheHideMode) {
    deck({"A", "B"});
    doc.HideMode = 1;
    doc.CallTh(1, false, false, false);
    EXPECT_FALSE(view.covered[0]);
    EXPECT_TRUE(view.covered[1]);
    doc.Cover_Click(1);
    EXPECT_FALSE(view.covered[1]);
    EXPECT_EQ(view.focused, 1);
    doc.CoverOn_Click(1);
    EXPECT_TRUE(view.covered[1]);
    EXPECT_FALSE(doc.Changed);  // covers are views only

    doc.HideMode = 0;
    doc.CallTh(0, false, false, false);
    EXPECT_TRUE(view.covered[0]);
    EXPECT_FALSE(view.covered[1]);
    doc.CallTh(0, false, true, false);  // Looko uncovers
    EXPECT_FALSE(view.covered[0]);

    doc.HideMode = 2;
    doc.CoverOn_Click(0);
    doc.CallTh(1, false, false, false);
    EXPECT_FALSE(view.covered[0]);
    EXPECT_FALSE(view.covered[1]);
}

TEST_F(Document_, TypingMarksChangedButFillingDoesNot) {
    deck({"A", "B"});
    doc.B3 = {0, 1};
    doc.Showing = true;
    doc.Te_Change(0);
    EXPECT_FALSE(doc.Changed);
    doc.Showing = false;
    doc.Te_Change(1);
    EXPECT_TRUE(doc.Changed);
    EXPECT_TRUE(view.saveEnabled);
    EXPECT_TRUE(doc.B3.empty());
}
