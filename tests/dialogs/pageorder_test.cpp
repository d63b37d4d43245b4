#include <map>

#include "Fixture.h"

using namespace rvm::test;

using PageOrder = DocFixture;

TEST_F(PageOrder, RandomOrdersAreUniformPermutations) {
    deck({"a", "b", "c"});
    doc.rng.seed(12345);
    std::map<Ints, int> counts;
    for (int i = 0; i < 60000; ++i) ++counts[doc.randomOrder()];
    double chi = 0;
    for (auto& [order, n] : counts) {
        EXPECT_TRUE(std::ranges::is_permutation(order, Ints{0, 1, 2}));
        chi += (n - 10000.0) * (n - 10000.0) / 10000.0;
    }
    EXPECT_LT(chi, 30.0);  // 5 degrees of freedom; p < 1e-5 beyond this
}
