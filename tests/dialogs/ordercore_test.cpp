#include <map>

#include "Fixture.h"

using namespace rvm;
using namespace rvm::test;

using OrderCore = DocFixture;

TEST_F(OrderCore, RandomOrdersAreUniformPermutations) {
    deck({"a", "b", "c"});
    doc.Rng.seed(12345);
    std::map<Ints, int> counts;
    const int draws = 60000;
    for (int i = 0; i < draws; ++i) ++counts[doc.RandomOrder()];
    ASSERT_EQ(counts.size(), 6u);
    double chi = 0, expected = draws / 6.0;
    for (auto& [o, n] : counts) {
        EXPECT_TRUE(std::ranges::is_permutation(o, Ints{0, 1, 2}));
        chi += (n - expected) * (n - expected) / expected;
    }
    EXPECT_LT(chi, 30.0);  // 5 degrees of freedom; p < 1e-5 beyond this
    deck({"one"});
    EXPECT_EQ(doc.RandomOrder(), Ints{0});
}
