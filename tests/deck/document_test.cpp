#include "Fixture.h"
#include "deck/Deck.h"
#include "deck/Text.h"

using namespace rvm;
using namespace rvm::test;

using Document_ = DocFixture;

// In a shuffled deck, with the answer typed into: where a move lands, what the
// status bar and buttons say, and that the page left keeps the typed text.
TEST_F(Document_, NavigationClampsAndAppendsOnlyRightAfterTheLastPage) {
    const struct { int from, to; bool append; int now; const char* status;
                   bool firstPrev, last, addLook; } rows[] = {
        {0, 1, true, 1, "2枚目  1ページ  全3枚", true, true, false},
        {1, -5, false, 0, "1枚目  3ページ  全3枚", false, true, false},
        {0, 3, false, 2, "3枚目  2ページ  全3枚", true, false, true},
        {0, 4, true, 2, "3枚目  2ページ  全3枚", true, false, true},
        {2, 3, true, 3, "4枚目  4ページ  全4枚", true, false, true},
    };
    for (const auto& r : rows) {
        deck({"A", "B", "C"}, {2, 0, 1}, r.from);
        view.te[1] = "typed";
        doc.showPage(r.to, {.storeTyped = true, .appendPastLast = r.append});
        EXPECT_EQ(std::tuple(doc.currentPage(), view.status, view.firstPrev, view.last, view.addLook),
                  std::tuple(r.now, std::string(r.status), r.firstPrev, r.last, r.addLook)) << r.to;
        EXPECT_EQ(doc.deck().pages[doc.deck().displayOrder[r.from]].answer, "typed");
        // A page appended is to be written: a change, with nothing covered.
        const bool grew = doc.lastPage() == 3;
        EXPECT_TRUE(doc.changed() == grew && view.covered[1] != grew);
        expectInvariants();
    }
}

TEST_F(Document_, AFullDeckNeverGrows) {
    deck(Strings(kMaxPages, "q"));
    doc.showPage(doc.lastPage() + 1, {.storeTyped = true, .appendPastLast = true});
    edits.insertBlankPage();
    prompt.clipboard = "\x1eQ\x1e";
    EXPECT_FALSE(edits.menuState().paste);
    EXPECT_EQ(std::tuple(doc.lastPage(), doc.currentPage(), doc.changed(), prompt.beeps),
              std::tuple(kMaxPages - 1, kMaxPages - 1, false, 2));
}

TEST_F(Document_, CoversFollowTheHideMode) {
    const struct { int hideMode; bool uncovered, upper, lower; } rows[] = {
        {0, false, true, false}, {1, false, false, true}, {2, false, false, false},
        {0, true, false, false}, {1, true, false, false},  // the page is to be written
    };
    deck({"A", "B"});
    for (const auto& r : rows) {
        for (int k : {0, 1}) doc.coverHalf(k);
        doc.setHideMode(static_cast<std::int16_t>(r.hideMode));
        doc.showPage(1, {.uncovered = r.uncovered});
        EXPECT_EQ(std::pair(view.covered[0], view.covered[1]), std::pair(r.upper, r.lower))
            << r.hideMode << r.uncovered;
    }
    doc.uncoverHalf(1);
    EXPECT_TRUE(!view.covered[1] && view.focused == 1 && !doc.changed());  // covers are views only
}

// Both readers (order entries and settings) take numbers through LeadingNumber.
TEST(TextHelpers, NumbersCountsAndLineBreaks) {
    const std::pair<const char*, std::optional<double>> rows[] = {
        {"07", 7}, {"", 0}, {"3rd", 3}, {" 2", 2}, {"2.50", 2.5}, {"-4", -4}, {"+4x", 4},
        {"1e2", 100}, {"1e", 1}, {"abc", 0}, {".", 0}, {"1e-999", 0}, {"1e999", std::nullopt}};
    for (auto [text, value] : rows) EXPECT_EQ(LeadingNumber(text), value) << text;
    EXPECT_EQ(LeadingDigits("  1234:5 apples"), 1234);  // row numbers of the order lists
    EXPECT_EQ(CountChar("犬猫犬", "犬猫"), 2);  // characters, not bytes; the first one only
    EXPECT_EQ(CountChar("abc", ""), 0);
    EXPECT_EQ(ToLf(ToCrLf("a\nb\r\n")), "a\nb\n");  // text boxes take LF, the deck keeps CR LF
}
