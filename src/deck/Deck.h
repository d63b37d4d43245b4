// A deck of pages and the limits every deck keeps.
#pragma once

#include <string>
#include <vector>

namespace rvm {

// A page: the question (upper half) and its answer (lower half), with CR LF
// line breaks as the deck file keeps them.
struct Page {
    std::string question, answer;
    bool operator==(const Page&) const = default;
};

// The pages by storage index, and for each display position the storage
// index of the page shown there: always a permutation of all storage
// indexes, never empty.
struct Deck {
    std::vector<Page> pages;
    std::vector<int> displayOrder;
};

// Page numbers are kept to 16-bit signed indexes: at most 32,768 pages.
inline constexpr int kMaxPages = 32768;

// Separates the halves of a page on the clipboard: separator, question,
// separator, answer.
inline constexpr char kPageSeparator = '\x1e';

}  // namespace rvm
