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
        // Due on days 9, 5 and 10, missed on day 8, begun today; recall
        // today 88 %, 79 %, 90 %, 68 %.
        for (const auto& [page, day, g] : {std::tuple(0, 6, Grade::Knew), {1, 2, Grade::Knew},
                                            {2, 7, Grade::Knew}, {3, 8, Grade::NotYet}, {4, 10, Grade::Knew}})
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

// The most forgotten first, up to the reviews a day (the rest held back),
// then new pages in display order, as many as the day's limit leaves after
// the one begun today; and when the next reviews come.
TEST_F(LearnDrill, TodayMostForgottenFirstWithinTheDailyLimits) {
    const struct { int newPerDay, reviewsPerDay; std::vector<int> shown; int held; NextReviews next; } rows[] = {
        {20, 200, {3, 1, 0, 2, 7, 6, 5}, 0, {13, 5}}, {2, 200, {3, 1, 0, 2, 7}, 0, {13, 3}},
        {0, 200, {3, 1, 0, 2}, 0, {13, 2}},
        {20, 2, {3, 1, 7, 6, 5}, 2, {11, 2}},  // a backlog spread: the two most likely recalled wait
        {0, 0, {}, 4, {11, 4}}};
    for (const auto& r : rows) {
        LearnStore s = history();
        const Drill drill = Drill::Today(s, keys, order, kToday, r.newPerDay, r.reviewsPerDay);
        EXPECT_EQ(std::tuple(run(drill, s, "KKKKKKKKK"), drill.heldBack()), std::tuple(r.shown, r.held));
        const NextReviews next = NextReviewsOf(s, keys, kToday);
        EXPECT_EQ(std::tuple(next.day, next.pages), std::tuple(r.next.day, r.next.pages)) << r.reviewsPerDay;
    }
}

// The message at the end: the day's counts, what was held back, when the
// next reviews come; when nothing was due, only when.
TEST(LearnDrillEnd, SaysWhatIsLeftAndWhen) {
    const Day dec7 = 20794;  // 2026-12-07
    const struct { DayCounts counts; int held; NextReviews next; const char* text; } rows[] = {
        {{3, 1, 0}, 0, {dec7 + 1, 5}, "今日の復習は終わりました。\r○ 2  × 1\r次の復習は明日 (12月8日)、5 ページです。"},
        {{200, 0, 0}, 57, {dec7 + 1, 60},
         "今日の復習は終わりました。\r○ 200  × 0\r1日の復習は 200 ページまでなので、残りの 57 ページは明日以降に回します。"
         "\r次の復習は明日 (12月8日)、60 ページです。"},
        {{}, 0, {dec7 + 25, 1}, "今日復習するページはありません。\r次の復習は25日後 (1月1日)、1 ページです。"},
        {{}, 0, {}, "今日復習するページはありません。"},
    };
    for (const auto& r : rows) EXPECT_EQ(TodayDoneText(r.counts, r.held, 200, r.next, dec7), r.text);
}

// まだ brings a page back five pages later (or last) until it is known;
// pages deleted or edited meanwhile are passed over. Then 間違えたページ.
TEST_F(LearnDrill, MissedPagesComeBackUntilKnown) {
    // The second time page 0 is deleted and page 3 edited once the drill has begun.
    const struct { bool edited; const char* grades; std::vector<int> shown, missed; const char *panel, *done; }
        rows[] = {{false, "MKMKKKMK", {3, 1, 0, 2, 7, 3, 0, 0}, {3, 0}, "残り 0  ○ 3  × 2", "○ 4  × 2"},
                  {true, "MKKK", {0, 1, 6, 0}, {0}, "残り 0  ○ 2  × 1", "○ 3  × 1"}};
    for (const auto& r : rows) {
        LearnStore s = history();
        const Drill drill = Drill::Today(s, keys, order, kToday, 2);
        Deck edited = deck;
        if (r.edited) edited.erase(edited.begin()), edited[2].answer = "b";
        keys = DeckKeys(edited);
        EXPECT_EQ(run(drill, s, r.grades), r.shown);
        EXPECT_EQ(std::tuple(panel, TodayDoneText(s.counts(kToday), 0, 200, {}, kToday)),
                  std::tuple(r.panel, "今日の復習は終わりました。\r" + std::string(r.done)));
        EXPECT_EQ(run(Drill::Missed(s, keys, order, kToday), s, "KKK"), r.missed);
        keys = DeckKeys(deck);
    }
}

TEST_F(LearnDrill, RecordFigures) {
    const std::vector<DayCounts> days{{1, 0, 1}, {1, 1, 1}, {}, {1, 0, 1}};  // days 7 to 10
    EXPECT_EQ(ReviewsPerDay(store, kToday, 4), days);
    EXPECT_EQ(DuePerDay(store, keys, kToday, 4), (std::vector{4, 0, 0, 1}));  // overdue counted today
    EXPECT_EQ(PagesByInterval(store, keys), (std::vector{3, 1, 0, 4, 0, 0, 0, 0, 0, 0, 0}));
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
              std::tuple(1, std::string("残り 3  ○ 1  × 0"), DayCounts{2, 0, 1, 1, 1}));
    EXPECT_TRUE(d.undo(store, kToday, 0));
    EXPECT_EQ(std::tuple(d.current(keys), store.find(keys[3])->due), std::tuple(3, Day{8}));
    EXPECT_FALSE(d.undo(store, kToday, 0));
}
