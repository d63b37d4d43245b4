// A Document wired to the fakes, with a helper to lay out a deck.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>

#include "FakeUi.h"
#include "deck/Document.h"

namespace rvm::test {

using Strings = std::vector<std::string>;
using Ints = std::vector<int>;

struct DocFixture : ::testing::Test {
    FakeView view;
    FakePrompt prompt;
    Document doc{view, prompt};

    // Pages with upper texts `upper` (lower = upper + "'"), shown in `order`
    // (storage order when empty), first page shown.
    void deck(const Strings& upper, Ints order = {}) {
        doc.List1 = doc.List2 = upper;
        for (auto& lower : doc.List2) lower += "'";
        if (order.empty()) {
            order.resize(upper.size());
            std::iota(order.begin(), order.end(), 0);
        }
        doc.List3 = order;
        doc.MaxPage = static_cast<int>(upper.size()) - 1;
        doc.CallTh(0, false, false, false);
    }
    void expectInvariants() const {
        const auto pages = static_cast<std::size_t>(doc.MaxPage) + 1;
        ASSERT_TRUE(doc.List1.size() == pages && doc.List2.size() == pages);
        Ints all(pages);
        std::iota(all.begin(), all.end(), 0);
        ASSERT_TRUE(std::ranges::is_permutation(doc.List3, all));
        ASSERT_TRUE(doc.NowPage >= 0 && doc.NowPage <= doc.MaxPage);
    }
};

}  // namespace rvm::test
