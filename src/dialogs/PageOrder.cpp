// What the OrderDialog and JumpDialog dialogs do to the deck, without their windows.
#include <algorithm>
#include <numeric>

#include "deck/Document.h"
#include "deck/Text.h"

namespace rvm {

std::string Document::rowText(int storageIndex) const {
    return PaddedNumber(storageIndex + 1) + ":" + deck.pages[storageIndex].question;
}

std::vector<std::string> Document::pageRows() const {
    std::vector<std::string> rows;
    rows.reserve(deck.displayOrder.size());
    for (int p = 0; p <= lastPage(); ++p) rows.push_back(rowText(storageIndex(p)));
    return rows;
}

std::vector<int> Document::randomOrder() {
    // A uniform permutation of all storage indexes.
    std::vector<int> order(deck.pages.size());
    std::iota(order.begin(), order.end(), 0);
    std::shuffle(order.begin(), order.end(), rng);
    return order;
}

void Document::applyOrder(const std::vector<int>& order, bool temporary) {
    // Only a permutation of all storage indexes is an order.
    if (order.size() != deck.pages.size()) return;
    std::vector<char> seen(order.size(), 0);
    for (int s : order) {
        if (s < 0 || s > lastPage() || seen[s]) return;
        seen[s] = 1;
    }
    deck.displayOrder = order;
    currentPage = 0;
    if (!temporary) {
        // For good: the pages are stored in the new order.
        std::vector<Page> pages;
        pages.reserve(order.size());
        for (int s : order) pages.push_back(std::move(deck.pages[s]));
        deck.pages = std::move(pages);
        std::iota(deck.displayOrder.begin(), deck.displayOrder.end(), 0);
    }
    showPage(currentPage);
    undoSnapshot.reset();
    setChanged(true);
}

}  // namespace rvm
