// Keys that find a page's learning history from its texts alone, so moving,
// shuffling, cutting, pasting, undoing and deleting pages keeps it, and a
// page whose text is edited starts afresh.
#pragma once

#include <cstdint>
#include <iterator>
#include <string_view>
#include <vector>

namespace rvm::learn {

using Key = std::uint64_t;
// The key of a page with neither question nor answer, which is never drilled.
inline constexpr Key kBlankPage = 0;

// A 64-bit hash of the bytes, the same on every platform.
std::uint64_t Hash64(std::string_view bytes, std::uint64_t seed = 0);

// The key of one page's texts, exactly as the deck holds them (UTF-8 with
// CR LF line breaks); never kBlankPage unless both are empty.
Key PageKey(std::string_view question, std::string_view answer);

// Copies of one page (equal keys) get keys of their own, numbered in the
// order given, so each copy has a history of its own.
void SeparateCopies(std::vector<Key>& keys);

// The keys of a deck by storage index: any list of pages with members
// question and answer.
template <class Pages>
std::vector<Key> DeckKeys(const Pages& pages) {
    std::vector<Key> keys;
    keys.reserve(std::size(pages));
    for (const auto& page : pages) keys.push_back(PageKey(page.question, page.answer));
    SeparateCopies(keys);
    return keys;
}

}  // namespace rvm::learn
