// Page keys across deck edits, the drills' order, and the record's figures.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <set>
#include <tuple>

#include "learn/Drill.h"
#include "learn/Record.h"

using namespace rvm::learn;

namespace {

struct Page {
    std::string question, answer;
};
using Deck = std::vector<Page>;

}  // namespace

// Which page before the edit each page after it takes its history from
// (-1: none, it starts afresh). Copies of a page each have their own.
TEST(LearnKeys, FollowThePageTextsAcrossDeckEdits) {
    const Page a{"犬", "dog"}, b{"猫\r\nねこ", "cat"}, blank{};
    const std::vector<Key> before = DeckKeys(Deck{a, b, a, blank});
    const struct { const char* what; Deck after; std::vector<int> from; } rows[] = {
        {"reversed", {blank, a, b, a}, {3, 0, 1, 2}},
        {"first copy deleted", {b, a, blank}, {1, 0, 3}},
        {"page inserted", {a, {"new", "page"}, b, a, blank}, {0, -1, 1, 2, 3}},
        {"answer edited", {a, {b.question, "cats"}, a, blank}, {0, -1, 2, 3}},
        {"same text, halves split elsewhere", {a, {"猫\r\nねこc", "at"}, a, blank}, {0, -1, 2, 3}},
    };
    for (const auto& r : rows) {
        const std::vector<Key> after = DeckKeys(r.after);
        for (std::size_t i = 0; i < after.size(); ++i) {
            const auto it = std::find(before.begin(), before.end(), after[i]);
            EXPECT_EQ(it == before.end() ? -1 : it - before.begin(), r.from[i]) << r.what << ", page " << i;
        }
    }
    EXPECT_EQ(std::tuple(std::set(before.begin(), before.end()).size(), before[3]), std::tuple(4u, kBlankPage));
    // A history written on one platform is found on another.
    EXPECT_EQ(Hash64("Ravolin Memorel"), 0xf7eeb079a40a20deu);
}

struct LearnDrill : ::testing::Test {
    static constexpr Day kToday = 10;
    const std::vector<int> order{8, 7, 6, 5, 4, 3, 2, 1, 0};  // display order: storage order reversed
    Deck deck;
    std::vector<Key> keys;
    LearnStore store;  // an untitled deck's, in memory
    LearnDrill() {
        for (int k = 0; k < 8; ++k) deck.push_back({"q" + std::to_string(k), "a"});
        deck.push_back({});  // blank, never drilled
        keys = DeckKeys(deck);
        // Due today, overdue since day 6, due today, missed on day 8, begun today.
        const std::tuple<int, Day, Grade> history[] = {{0, 9, Grade::Knew}, {1, 5, Grade::Knew},
            {2, 9, Grade::Knew}, {3, 8, Grade::NotYet}, {4, 10, Grade::Knew}};
        for (const auto& [page, day, g] : history) store.grade(keys[page], g, day);
    }
    // The pages the drill shows while grades ("KM...") are given, until it ends.
    std::vector<int> run(Drill& drill, LearnStore& s, std::string grades) {
        std::vector<int> shown;
        for (int at; (at = drill.current(keys)) >= 0 && !grades.empty(); grades.erase(0, 1)) {
            shown.push_back(at);
            drill.grade(grades[0] == 'K' ? Grade::Knew : Grade::NotYet, s, kToday);
        }
        return shown;
    }
};

// Oldest due first, ties in display order, then new pages in display order
// as many as the day's limit leaves after the one begun today.
TEST_F(LearnDrill, TodayDueFirstThenNewPagesUpToTheDailyLimit) {
    const struct { int newPerDay; std::vector<int> shown; } rows[] = {
        {20, {1, 3, 2, 0, 7, 6, 5}}, {2, {1, 3, 2, 0, 7}}, {1, {1, 3, 2, 0}}, {0, {1, 3, 2, 0}}};
    for (const auto& r : rows) {
        LearnStore s = store;
        Drill drill = Drill::Today(s, keys, order, kToday, r.newPerDay);
        EXPECT_EQ(run(drill, s, std::string(20, 'K')), r.shown) << r.newPerDay;
    }
}

// まだ brings a page back five pages later (or last) until it is known;
// pages deleted or edited meanwhile are passed over.
TEST_F(LearnDrill, MissedPagesComeBackUntilKnown) {
    const struct { const char* what; std::function<void(Deck&)> edit; const char* grades;
                   std::vector<int> shown; const char* panel; const char* done; std::vector<int> missed; } rows[] = {
        {"as it is", [](Deck&) {}, "MKMKKKMK", {1, 3, 2, 0, 7, 1, 2, 2}, "残り 0  ○ 3  × 2",
         "今日の復習は終わりました。\r○ 4  × 2", {2, 1}},
        {"first page deleted, a missed one edited", [](Deck& d) { d.erase(d.begin()), d[2].answer = "b"; },
         "MKKK", {0, 1, 6, 0}, "残り 0  ○ 2  × 1", "今日の復習は終わりました。\r○ 3  × 1", {0}},
    };
    for (const auto& r : rows) {
        LearnStore s = store;
        Drill drill = Drill::Today(s, keys, order, kToday, 2);
        Deck edited = deck;
        r.edit(edited);
        keys = DeckKeys(edited);
        EXPECT_EQ(run(drill, s, r.grades), r.shown) << r.what;
        EXPECT_EQ(std::tuple(drill.progressText(), TodayDoneText(s.counts(kToday))), std::tuple(r.panel, r.done));
        Drill missed = Drill::Missed(s, keys, order, kToday);
        EXPECT_EQ(run(missed, s, "KKK"), r.missed) << r.what;
        keys = DeckKeys(deck);
    }
}

TEST_F(LearnDrill, RecordFigures) {
    const std::vector<DayCounts> days{{}, {1, 1, 1}, {2, 0, 2}, {1, 0, 1}};  // days 7 to 10
    EXPECT_EQ(ReviewsPerDay(store, kToday, 4), days);
    EXPECT_EQ(DuePerDay(store, keys, kToday, 3), (std::vector{4, 1, 0}));  // overdue counted today
    EXPECT_EQ(PagesPerStage(store, keys), (std::vector{3, 1, 4, 0, 0, 0, 0, 0, 0, 0}));
}
