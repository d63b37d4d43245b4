#include "PageOrder.h"

#include <algorithm>
#include <numeric>

#include "Text.h"

namespace rvm {

Deck BlankDeck() { return Deck{{Page{}}, {0}}; }

bool IsOrder(const std::vector<int>& order, std::size_t pages) {
    if (order.size() != pages) return false;
    std::vector<char> seen(pages, 0);
    for (int s : order) {
        if (s < 0 || static_cast<std::size_t>(s) >= pages || seen[s]) return false;
        seen[s] = 1;
    }
    return true;
}

std::vector<int> StorageOrder(std::size_t pages) {
    std::vector<int> order(pages);
    std::iota(order.begin(), order.end(), 0);
    return order;
}

std::vector<int> RandomOrder(std::size_t pages, std::mt19937& rng) {
    std::vector<int> order = StorageOrder(pages);
    std::shuffle(order.begin(), order.end(), rng);
    return order;
}

bool ApplyOrder(Deck& deck, const std::vector<int>& order, bool temporary) {
    if (!IsOrder(order, deck.pages.size())) return false;
    if (temporary) {
        deck.displayOrder = order;
        return true;
    }
    std::vector<Page> pages;
    pages.reserve(order.size());
    for (int s : order) pages.push_back(std::move(deck.pages[s]));
    deck.pages = std::move(pages);
    deck.displayOrder = StorageOrder(deck.pages.size());
    return true;
}

void RemovePage(Deck& deck, int position) {
    const int removed = deck.displayOrder[position];
    deck.pages.erase(deck.pages.begin() + removed);
    deck.displayOrder.erase(deck.displayOrder.begin() + position);
    for (int& s : deck.displayOrder)
        if (s > removed) --s;
}

void InsertPage(Deck& deck, int position, Page page) {
    const int at = deck.displayOrder[position];
    deck.pages.insert(deck.pages.begin() + at, std::move(page));
    for (int& s : deck.displayOrder)
        if (s >= at) ++s;
    deck.displayOrder.insert(deck.displayOrder.begin() + position, at);
}

std::string RowText(const Deck& deck, int storageIndex) {
    return PaddedNumber(storageIndex + 1) + ":" + deck.pages[storageIndex].question;
}

std::vector<std::string> PageRows(const Deck& deck) {
    std::vector<std::string> rows;
    rows.reserve(deck.displayOrder.size());
    for (int s : deck.displayOrder) rows.push_back(RowText(deck, s));
    return rows;
}

}  // namespace rvm
