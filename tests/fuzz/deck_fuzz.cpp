// Any bytes as a deck file: the reader never crashes, reads the same in
// pieces as whole, an accepted deck keeps the deck's invariants, and saving
// it reads back to the same lists.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "deck/Deck.h"
#include "files/Cp932.h"
#include "files/DeckFile.h"

using namespace rvm;

namespace {
void check(bool ok) {
    if (!ok) std::abort();
}

bool roundTrips(const Deck& d) {
    for (const Page& p : d.pages)
        for (const std::string* t : {&p.question, &p.answer})
            for (std::size_t i = 0; i < t->size(); ++i)
                if ((*t)[i] == '\r' && (i + 1 == t->size() || (*t)[i + 1] != '\n')) return false;
    return true;  // continuation lines never start with the record mark
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    std::vector<std::string> records, pieces;
    const bool split = SplitRecords(bytes, records);
    // Read in pieces, as the loader reads a file, it gives the same records.
    RecordSplitter splitter(pieces, size);
    const std::size_t step = size > 0 ? data[0] % 16 + 1 : 1;
    std::string buf;
    for (std::size_t at = 0;; at += step) {
        buf.append(bytes, std::min(at, size), step);
        const bool end = at + step >= size;
        buf.erase(0, splitter.take(buf, end));
        if (end) break;
    }
    check(splitter.ok() == split && (!split || pieces == records));
    if (!split) return 0;
    Deck d;
    if (!BuildDeck(records, d)) return 0;
    const std::size_t n = d.displayOrder.size();
    check(n >= 1 && n <= static_cast<std::size_t>(kMaxPages));
    check(d.pages.size() == n);
    std::vector<char> seen(n, 0);
    for (int s : d.displayOrder) {
        check(s >= 0 && static_cast<std::size_t>(s) < n && !seen[s]);
        seen[s] = 1;
    }
    if (!roundTrips(d)) return 0;
    cp932::Encoded e = cp932::encode(DeckText(d));
    if (!e.unmappable.empty()) return 0;  // such characters are asked about
    std::vector<std::string> again;
    check(SplitRecords(e.bytes, again));
    Deck d2;
    check(BuildDeck(again, d2));
    check(d2.pages == d.pages && d2.displayOrder == d.displayOrder);
    return 0;
}
