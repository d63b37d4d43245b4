// What the Order and Jump dialogs do to the deck, without their windows.
#include <algorithm>
#include <numeric>

#include "deck/Document.h"
#include "deck/Module1.h"

namespace rvm {

std::string Document::RowText(int storageIndex) const {
    return PadNum(storageIndex + 1) + ":" + List1[storageIndex];
}

std::vector<std::string> Document::JumpRows() const {
    std::vector<std::string> rows;
    rows.reserve(List3.size());
    for (int p = 0; p <= MaxPage; ++p) rows.push_back(RowText(StorageIndex(p)));
    return rows;
}

std::vector<int> Document::RandomOrder() {
    // A uniform permutation of all storage indexes.
    std::vector<int> order(static_cast<std::size_t>(MaxPage) + 1);
    std::iota(order.begin(), order.end(), 0);
    std::shuffle(order.begin(), order.end(), Rng);
    return order;
}

void Document::ApplyOrder(const std::vector<int>& order, bool temporary) {
    // Only a permutation of all storage indexes is an order.
    if (order.size() != List1.size()) return;
    std::vector<char> seen(order.size(), 0);
    for (int s : order) {
        if (s < 0 || s > MaxPage || seen[s]) return;
        seen[s] = 1;
    }
    List3 = order;
    NowPage = 0;
    if (!temporary) {
        std::vector<std::string> upper, lower;
        upper.reserve(order.size());
        lower.reserve(order.size());
        for (int s : order) {
            upper.push_back(std::move(List1[s]));
            lower.push_back(std::move(List2[s]));
        }
        List1 = std::move(upper);
        List2 = std::move(lower);
        std::iota(List3.begin(), List3.end(), 0);
    }
    CallTh(NowPage, false, false, false);
    B3.clear();
    SetChanged(true);
}

}  // namespace rvm
