// A Document wired to the fakes, with a helper to lay out a deck.
#pragma once

#include <gtest/gtest.h>

#include <numeric>

#include "FakeUi.h"
#include "deck/Document.h"

namespace rvm::test {

struct DocFixture : ::testing::Test {
    FakeView view;
    FakePrompt prompt;
    Document doc{view, prompt};

    // Pages with upper texts `upper` (lower = upper + "'"), shown in `order`
    // (storage order when empty), first page shown.
    void deck(const std::vector<std::string>& upper, std::vector<int> order = {}) {
        doc.List1 = upper;
        doc.List2.clear();
        for (const auto& u : upper) doc.List2.push_back(u + "'");
        if (order.empty()) {
            order.resize(upper.size());
            std::iota(order.begin(), order.end(), 0);
        }
        doc.List3 = order;
        doc.MaxPage = static_cast<int>(upper.size()) - 1;
        doc.CallTh(0, false, false, false);
    }
    // Upper texts in display order.
    std::vector<std::string> shown() const {
        std::vector<std::string> out;
        for (int s : doc.List3) out.push_back(doc.List1[s]);
        return out;
    }
    void expectInvariants() const {
        ASSERT_EQ(doc.List1.size(), static_cast<std::size_t>(doc.MaxPage) + 1);
        ASSERT_EQ(doc.List2.size(), doc.List1.size());
        ASSERT_EQ(doc.List3.size(), doc.List1.size());
        std::vector<int> sorted = doc.List3;
        std::sort(sorted.begin(), sorted.end());
        for (int k = 0; k <= doc.MaxPage; ++k) ASSERT_EQ(sorted[k], k);
        ASSERT_GE(doc.NowPage, 0);
        ASSERT_LE(doc.NowPage, doc.MaxPage);
    }
};

}  // namespace rvm::test
