// Figures for the learning history of a full deck of 32,768 pages: opening it
// with a full history against reading the deck alone, one grade on disk,
// and starting 今日の復習.
#include <algorithm>
#include <cstdio>
#include <string_view>

#include "BenchDeck.h"
#include "TempDir.h"
#include "deck/Deck.h"
#include "files/Cp932.h"
#include "files/DeckFile.h"
#include "files/FileIo.h"
#include "learn/Drill.h"

using namespace rvm;
using namespace rvm::learn;
using rvm::bench::nowUs;

namespace {

constexpr int kPages = kMaxPages;
constexpr Day kToday = 20000;

// What the deck reader does: the bytes, the records decoded, the deck checked.
Deck readDeck(const std::string& path) {
    std::string bytes, error;
    std::vector<std::string> records;
    Deck deck;
    if (ReadWholeFile(path, bytes, error) != ReadStatus::Ok || !SplitRecords(bytes, records) ||
        !BuildDeck(records, deck))
        std::printf("the deck could not be read: %s\n", error.c_str());
    return deck;
}

std::vector<Key> keysOf(const Deck& deck) { return DeckKeys(deck.pages); }

// Every page graded five to ten times over the last year, one in six まだ.
void fullHistory(LearnStore& store, const std::vector<Key>& keys) {
    std::mt19937 rng(3);
    for (const Key key : keys) {
        Day day = kToday - 365 + static_cast<Day>(rng() % 30);
        for (int n = 5 + static_cast<int>(rng() % 6); n > 0 && day < kToday; --n) {
            const Grade g = rng() % 6 == 0 ? Grade::NotYet : Grade::Knew;
            store.grade(key, g, day);
            const PageState* page = store.find(key);
            day = std::max(day + 1, page->due + static_cast<Day>(rng() % 5));
        }
    }
}

template <class F>
double bestMs(int reps, F&& f) {
    double best = 1e30;
    for (int r = 0; r < reps; ++r) {
        const double t = nowUs();
        f();
        best = std::min(best, (nowUs() - t) / 1000);
    }
    return best;
}

}  // namespace

int main() {
    test::TempDir dir;
    const std::string deckPath = dir.file("big.rvm"), data = dir.file("data");
    {
        std::mt19937 rng(1);
        Deck made;
        for (int k = 0; k < kPages; ++k) {
            std::string question = bench::text(rng, 150);
            made.pages.push_back({std::move(question), bench::text(rng, 150)});
            made.displayOrder.push_back(k);
        }
        std::string error;
        WriteFileAtomic(deckPath, cp932::encode(DeckText(made)).bytes, error);
    }
    const Deck deck = readDeck(deckPath);
    std::vector<Key> keys = keysOf(deck);
    LearnStore store;
    store.open(data, "", keys);  // an untitled deck, saved below
    fullHistory(store, keys);
    const double firstSave = bestMs(1, [&] { store.deckSavedAs(deckPath); });
    std::printf("learn deck of %d pages, history %.1f MB (written whole in %.1f ms)\n", kPages,
                std::filesystem::file_size(LearnStore::HistoryPath(data, deckPath)) / 1e6, firstSave);

    const int reps = 5;
    const double read = bestMs(reps, [&] { readDeck(deckPath); });
    const double keying = bestMs(reps, [&] { keys = keysOf(deck); });
    const double history = bestMs(reps, [&] { store.open(data, deckPath, keys); });
    std::printf("learn open: deck read %.1f ms, keys %.1f ms + history %.1f ms: ratio %.3f (at most 1.2)\n",
                read, keying, history, (read + keying + history) / read);

    std::vector<int> display(kPages);
    for (int k = 0; k < kPages; ++k) display[k] = kPages - 1 - k;
    Drill drill;
    const double start = bestMs(reps, [&] { drill = Drill::Today(store, keys, display, kToday); });
    std::printf("learn start 今日の復習: %.2f ms for %d pages (at most 50)\n", start, drill.left());

    // Each grade appends one line and waits for the disk; the floor is the
    // same append of a line alone.
    const int grades = 200;
    std::vector<double> graded, floor;
    for (int n = 0; n < grades && drill.current(keys) >= 0; ++n) {
        double t = nowUs();
        drill.grade(n % 4 == 0 ? Grade::NotYet : Grade::Knew, store, kToday);
        graded.push_back((nowUs() - t) / 1000);
        std::string error;
        t = nowUs();
        AppendToFile(dir.file("floor.log"), "123 20000 f594a35c4b025d77 1 6a3d5b1c\n", error);
        floor.push_back((nowUs() - t) / 1000);
    }
    const auto at = [](std::vector<double> v, double share) {
        std::sort(v.begin(), v.end());
        return v[static_cast<std::size_t>(share * (v.size() - 1))];
    };
    std::printf("learn one grade, on disk: median %.2f ms, 95%% %.2f ms, worst %.2f ms (at most 10);"
                " the bare append + fsync: median %.2f ms, 95%% %.2f ms\n",
                at(graded, 0.5), at(graded, 0.95), at(graded, 1), at(floor, 0.5), at(floor, 0.95));
    const double reopen = bestMs(reps, [&] { store.open(data, deckPath, keys); });
    std::printf("learn history reopened with those %d grades in its log: %.1f ms\n", grades, reopen);
    return store.takeMessage().empty() ? 0 : 1;
}
