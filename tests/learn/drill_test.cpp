// Page keys across deck edits, the drills' order, and the record's figures.
#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>

#include "learn/Drill.h"
#include "learn/Record.h"

using namespace rvm::learn;

namespace {
struct Page { std::string question, answer; };
using Deck = std::vector<Page>;
}  // namespace

// Which page before the edit each page after it takes its history from
// (-1: none, it starts afresh). Copies of a page each have their own.
TEST(LearnKeys, FollowThePageTextsAcrossDeckEdits) {
    const Page a{"犬", "dog"}, b{"猫\r\nねこ", "cat"}, blank{};
    const std::vector<Key> before = DeckKeys(Deck{a, b, a, blank});
    const struct { Deck after; std::vector<int> from; } rows[] = {
        {{blank, a, b, a}, {3, 0, 1, 2}},                   // reversed
        {{b, a, blank}, {1, 0, 3}},                         // the first copy deleted
        {{a, {"new", "page"}, b, a, blank}, {0, -1, 1, 2, 3}},  // one inserted
        {{a, {b.question, "cats"}, a, blank}, {0, -1, 2, 3}},   // an answer edited
        {{a, {"猫\r\nねこc", "at"}, a, blank}, {0, -1, 2, 3}},   // the same text split elsewhere
    };
    for (const auto& r : rows) {
        std::vector<int> from;
        for (const Key key : DeckKeys(r.after)) {
            const auto it = std::find(before.begin(), before.end(), key);
            from.push_back(it == before.end() ? -1 : static_cast<int>(it - before.begin()));
        }
        EXPECT_EQ(from, r.from);
    }
    // A history written on one platform is found on another.
    EXPECT_EQ(Hash64("Ravolin Memorel"), 0xf7eeb079a40a20deu);
}

struct LearnDrill : ::testing::Test {
    static constexpr Day kToday = 10;
    const std::vector<int> order{8, 7, 6, 5, 4, 3, 2, 1, 0};  // display order: storage order reversed
    Deck deck;
    std::vector<Key> keys;
    LearnStore store = history();  // kept in memory
    LearnDrill() {
        for (int k = 0; k < 8; ++k) deck.push_back({"q" + std::to_string(k), "a"});
        deck.push_back({});  // blank, never drilled
        keys = DeckKeys(deck);
        store = history();
    }
    LearnStore history() const {
        LearnStore s;
        // Due today, overdue since day 6, due today, missed on day 8, begun today.
        for (const auto& [page, day, g] : {std::tuple(0, 9, Grade::Knew), {1, 5, Grade::Knew},
                                            {2, 9, Grade::Knew}, {3, 8, Grade::NotYet}, {4, 10, Grade::Knew}})
            if (!keys.empty()) s.grade(keys[page], g, day, day * 86400);
        return s;
    }
    // The pages shown while the grades ("KM...") are given, until the drill ends.
    std::vector<int> run(Drill drill, LearnStore& s, std::string grades) {
        std::vector<int> shown;
        for (int at; (at = drill.current(keys)) >= 0 && !grades.empty(); grades.erase(0, 1)) {
            shown.push_back(at);
            drill.grade(grades[0] == 'K' ? Grade::Knew : Grade::NotYet, s, kToday, kToday * 86400 + 3600);
        }
        panel = drill.progressText();
        return shown;
    }
    std::string panel;
};

// Oldest due first, ties in display order, then new pages in display order,
// as many as the day's limit leaves after the one begun today.
TEST_F(LearnDrill, TodayDueFirstThenNewPagesUpToTheDailyLimit) {
    const struct { int newPerDay; std::vector<int> shown; } rows[] = {
        {20, {1, 3, 2, 0, 7, 6, 5}}, {2, {1, 3, 2, 0, 7}}, {1, {1, 3, 2, 0}}, {0, {1, 3, 2, 0}}};
    for (const auto& r : rows) {
        LearnStore s = history();
        EXPECT_EQ(run(Drill::Today(s, keys, order, kToday, r.newPerDay), s, "KKKKKKKKK"), r.shown);
    }
}

// まだ brings a page back five pages later (or last) until it is known;
// pages deleted or edited meanwhile are passed over. Then 間違えたページ.
TEST_F(LearnDrill, MissedPagesComeBackUntilKnown) {
    // The second time page 0 is deleted and page 3 edited once the drill has begun.
    const struct { bool edited; const char* grades; std::vector<int> shown, missed; const char *panel, *done; }
        rows[] = {{false, "MKMKKKMK", {1, 3, 2, 0, 7, 1, 2, 2}, {2, 1}, "残り 0  ○ 3  × 2", "○ 4  × 2"},
                  {true, "MKKK", {0, 1, 6, 0}, {0}, "残り 0  ○ 2  × 1", "○ 3  × 1"}};
    for (const auto& r : rows) {
        LearnStore s = history();
        const Drill drill = Drill::Today(s, keys, order, kToday, 2);
        Deck edited = deck;
        if (r.edited) edited.erase(edited.begin()), edited[2].answer = "b";
        keys = DeckKeys(edited);
        EXPECT_EQ(run(drill, s, r.grades), r.shown);
        EXPECT_EQ(std::tuple(panel, TodayDoneText(s.counts(kToday))),
                  std::tuple(r.panel, "今日の復習は終わりました。\r" + std::string(r.done)));
        EXPECT_EQ(run(Drill::Missed(s, keys, order, kToday), s, "KKK"), r.missed);
        keys = DeckKeys(deck);
    }
}

TEST_F(LearnDrill, RecordFigures) {
    const std::vector<DayCounts> days{{}, {1, 1, 1}, {2, 0, 2}, {1, 0, 1}};  // days 7 to 10
    EXPECT_EQ(ReviewsPerDay(store, kToday, 4), days);
    EXPECT_EQ(DuePerDay(store, keys, kToday, 3), (std::vector{4, 1, 0}));  // overdue counted today
    EXPECT_EQ(PagesPerStage(store, keys), (std::vector{3, 1, 4, 0, 0, 0, 0, 0, 0, 0}));
}

// A grade taken back puts the drill and the day's counts where they were.
TEST_F(LearnDrill, UndoPutsTheDrillBack) {
    Drill drill = Drill::Today(store, keys, order, kToday, 0);
    const auto shownAfter = [&](const char* grades) {
        Drill copy = drill;
        for (char g : std::string(grades)) {
            copy.current(keys);
            copy.grade(g == 'K' ? Grade::Knew : Grade::NotYet, store, kToday, kToday * 86400 + 3600);
        }
        return copy;
    };
    Drill d = shownAfter("KM");
    EXPECT_TRUE(d.undo(store, kToday, 0));
    EXPECT_EQ(std::tuple(d.current(keys), d.progressText(), store.counts(kToday)),
              std::tuple(3, std::string("残り 3  ○ 1  × 0"), DayCounts{2, 0, 1}));
    EXPECT_TRUE(d.undo(store, kToday, 0));
    EXPECT_EQ(std::tuple(d.current(keys), store.find(keys[1])->stage), std::tuple(1, std::int8_t{1}));
    EXPECT_FALSE(d.undo(store, kToday, 0));
}
