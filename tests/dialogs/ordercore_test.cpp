#include <map>

#include "Fixture.h"

using namespace rvm;
using namespace rvm::test;

using OrderCore = DocFixture;

TEST_F(OrderCore, TemporaryAndPermanentOrders) {
    deck({"1", "2", "3", "4", "5"});
    doc.B3 = {0};
    doc.ApplyOrder({2, 0, 1, 3, 4}, true);
    EXPECT_EQ(doc.List3, (std::vector<int>{2, 0, 1, 3, 4}));
    EXPECT_EQ(doc.List1, (std::vector<std::string>{"1", "2", "3", "4", "5"}));
    EXPECT_EQ(view.status, "1枚目  3ページ  全5枚");
    EXPECT_TRUE(doc.Changed);
    EXPECT_TRUE(doc.B3.empty());
    EXPECT_EQ(doc.RowText(2), "  3:3");

    deck({"1", "2", "3", "4", "5"});
    doc.ApplyOrder({2, 0, 1, 3, 4}, false);
    EXPECT_EQ(doc.List1, (std::vector<std::string>{"3", "1", "2", "4", "5"}));
    EXPECT_EQ(doc.List2[0], "3'");
    EXPECT_EQ(doc.List3, (std::vector<int>{0, 1, 2, 3, 4}));
    EXPECT_EQ(view.status, "1枚目  1ページ  全5枚");

    doc.ApplyOrder({0, 0, 1, 2, 3}, true);  // no permutation: refused
    EXPECT_EQ(doc.List3, (std::vector<int>{0, 1, 2, 3, 4}));
    expectInvariants();
}

TEST_F(OrderCore, RandomOrdersAreUniformPermutations) {
    deck({"a", "b", "c"});
    doc.Rng.seed(12345);
    std::map<std::vector<int>, int> counts;
    const int draws = 60000;
    for (int i = 0; i < draws; ++i) {
        auto o = doc.RandomOrder();
        auto sorted = o;
        std::sort(sorted.begin(), sorted.end());
        ASSERT_EQ(sorted, (std::vector<int>{0, 1, 2}));
        ++counts[o];
    }
    ASSERT_EQ(counts.size(), 6u);
    double chi = 0, expected = draws / 6.0;
    for (auto& [o, n] : counts) chi += (n - expected) * (n - expected) / expected;
    EXPECT_LT(chi, 30.0);  // 5 degrees of freedom; p < 1e-5 beyond this
    deck({"one"});
    EXPECT_EQ(doc.RandomOrder(), (std::vector<int>{0}));
}

TEST_F(OrderCore, JumpRowsFollowDisplayOrder) {
    deck({"犬", "猫", "鳥"});
    EXPECT_EQ(doc.JumpRows(), (std::vector<std::string>{"  1:犬", "  2:猫", "  3:鳥"}));
    deck({"犬", "猫", "鳥"}, {2, 0, 1});
    EXPECT_EQ(doc.JumpRows(), (std::vector<std::string>{"  3:鳥", "  1:犬", "  2:猫"}));
    std::vector<std::string> many(1000, "");
    many[99] = "q\r\nline";
    deck(many);
    auto rows = doc.JumpRows();
    EXPECT_EQ(rows[0], "  1:");
    EXPECT_EQ(rows[99], "100:q\r\nline");
    EXPECT_EQ(rows[999], "1000:");
}
