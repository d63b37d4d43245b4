// A Document wired to the fakes, with a helper to lay out a deck.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <ranges>

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
    // (storage order when empty), display position `at` shown.
    void deck(const Strings& upper, const Ints& order = {}, int at = 0) {
        doc.List1 = doc.List2 = upper;
        for (auto& lower : doc.List2) lower += "'";
        const auto all = std::views::iota(0, static_cast<int>(upper.size()));
        doc.List3 = order.empty() ? Ints(all.begin(), all.end()) : order;
        doc.MaxPage = static_cast<int>(upper.size()) - 1;
        doc.CallTh(at, false, false, false);
    }
    void expectInvariants() const {
        const auto pages = static_cast<std::size_t>(doc.MaxPage) + 1;
        ASSERT_TRUE(doc.List1.size() == pages && doc.List2.size() == pages);
        ASSERT_TRUE(std::ranges::is_permutation(doc.List3, std::views::iota(0, doc.MaxPage + 1)));
        ASSERT_TRUE(doc.NowPage >= 0 && doc.NowPage <= doc.MaxPage);
    }
};

}  // namespace rvm::test
