// A Document and its commands wired to the fakes, with a helper to lay out a deck.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <ranges>

#include "FakeUi.h"
#include "deck/Document.h"
#include "deck/PageOrder.h"
#include "edit/PageEdits.h"
#include "files/FileCommands.h"

namespace rvm::test {

using Strings = std::vector<std::string>;
using Ints = std::vector<int>;

struct DocFixture : ::testing::Test {
    FakeView view;
    FakePrompt prompt;
    Document doc{view, prompt};
    PageEdits edits{doc, view, prompt};
    FileCommands files{doc, view, prompt};
    std::mt19937 rng{12345};

    // Pages with upper texts `upper` (lower = upper + "'"), shown in `order`
    // (storage order when empty), display position `at` shown.
    void deck(const Strings& upper, const Ints& order = {}, int at = 0) {
        Deck d{{}, order.empty() ? StorageOrder(upper.size()) : order};
        for (const auto& q : upper) d.pages.push_back({q, q + "'"});
        ASSERT_TRUE(doc.replaceDeck(std::move(d)));
        doc.showPage(at);
    }
    // The questions, or the answers, by storage index.
    Strings questions() const { return halves(&Page::question); }
    Strings answers() const { return halves(&Page::answer); }
    Strings halves(std::string Page::*half) const {
        Strings out;
        for (const Page& p : doc.deck().pages) out.push_back(p.*half);
        return out;
    }
    std::vector<int> randomOrder() { return RandomOrder(doc.deck().pages.size(), rng); }
    void expectInvariants() const {
        ASSERT_TRUE(IsOrder(doc.deck().displayOrder, doc.deck().pages.size()));
        ASSERT_TRUE(doc.currentPage() >= 0 && doc.currentPage() <= doc.lastPage());
    }
};

}  // namespace rvm::test
