// The order of a deck's pages: the display order over the stored pages,
// orders the Order dialog makes, and the rows the Order and Jump dialogs list.
#pragma once

#include <random>
#include <string>
#include <vector>

#include "Deck.h"

namespace rvm {

// One blank page, nothing else: the deck of New.
Deck BlankDeck();

// Whether order holds each of 0 .. pages - 1 exactly once.
bool IsOrder(const std::vector<int>& order, std::size_t pages);
// A uniform permutation of 0 .. pages - 1.
std::vector<int> RandomOrder(std::size_t pages, std::mt19937& rng);
// 0 .. pages - 1: the storage order.
std::vector<int> StorageOrder(std::size_t pages);

// Gives the deck the display order given (false, nothing changed, when it
// is no order of its pages); unless temporary, the pages are also stored in
// that order.
bool ApplyOrder(Deck& deck, const std::vector<int>& order, bool temporary);

// Removes the page at a display position; the other pages keep their order.
void RemovePage(Deck& deck, int position);
// Inserts a page before the one at a display position, stored before it too.
void InsertPage(Deck& deck, int position, Page page);

// A list row: "  5:question", the page's number in storage order.
std::string RowText(const Deck& deck, int storageIndex);
// The rows of every page, in display order.
std::vector<std::string> PageRows(const Deck& deck);

}  // namespace rvm
