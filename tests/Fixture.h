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
        doc.deck.pages.clear();
        for (const auto& q : upper) doc.deck.pages.push_back({q, q + "'"});
        const auto all = std::views::iota(0, static_cast<int>(upper.size()));
        doc.deck.displayOrder = order.empty() ? Ints(all.begin(), all.end()) : order;
        doc.showPage(at);
    }
    // The questions, or the answers, by storage index.
    Strings questions() const { return halves(&Page::question); }
    Strings answers() const { return halves(&Page::answer); }
    Strings halves(std::string Page::*half) const {
        Strings out;
        for (const Page& p : doc.deck.pages) out.push_back(p.*half);
        return out;
    }
    void expectInvariants() const {
        const auto pages = static_cast<std::size_t>(doc.lastPage()) + 1;
        ASSERT_EQ(doc.deck.pages.size(), pages);
        ASSERT_TRUE(std::ranges::is_permutation(doc.deck.displayOrder, std::views::iota(0, doc.lastPage() + 1)));
        ASSERT_TRUE(doc.currentPage >= 0 && doc.currentPage <= doc.lastPage());
    }
};

}  // namespace rvm::test
