// When a page comes back, and when a learning day turns.
#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>
#include <tuple>

#include "learn/Schedule.h"

using namespace rvm::learn;

// Grades given on days ("3K": 覚えた on day 3, "3M": まだ), after a seed of
// an earlier version's Leitner stage graded on day 0 (-1: none), then the
// page's stability, difficulty and due day and the last day's counts.
// Reference values worked out apart from this code from the published
// formulas and default weights.
TEST(LearnSchedule, GradesMoveThePageAndCountTheDay) {
    const struct { const char* grades; int seed; double retention, stability, difficulty; Day due; DayCounts last; }
        rows[] = {
            {"0K", -1, 0.9, 3.173, 5.2824, 3, {1, 0, 1, 0, 0}},
            {"0M", -1, 0.9, 0.4026, 7.1949, 0, {1, 1, 1, 0, 0}},  // due at once
            {"0K 3K", -1, 0.9, 10.7389, 5.273, 14, {1, 0, 0, 1, 1}},
            {"0K 3K 11K 32K", -1, 0.9, 70.3635, 5.2542, 102, {1, 0, 0, 1, 1}},
            {"0K 10K", -1, 0.9, 23.8959, 5.273, 34, {1, 0, 0, 1, 1}},  // known long overdue: a long step
            {"0K 3K 11K 32K 100M", -1, 0.9, 5.1122, 6.7779, 100, {1, 1, 0, 1, 0}},
            {"0M 0K", -1, 0.9, 0.5667, 7.1766, 1, {1, 1, 1, 0, 0}},  // the same day: a short-term step
            {"0M 0M 0K 1K", -1, 0.9, 1.6645, 8.0382, 3, {1, 0, 0, 1, 1}},
            {"0K 3M 3K 4K", -1, 0.9, 3.5815, 6.7641, 8, {1, 0, 0, 1, 1}},
            {"0K 3K", -1, 0.8, 10.7389, 5.273, 29, {1, 0, 0, 1, 1}},  // the target retention sets the interval
            {"0K 3K", -1, 0.95, 10.7389, 5.273, 8, {1, 0, 0, 1, 1}},
            {"8K", 4, 0.9, 25.9707, 5.273, 34, {1, 0, 0, 1, 1}},  // a seed at stage 4, known when due
            {"2K", 0, 0.9, 3.4962, 7.1766, 5, {1, 0, 0, 1, 1}},   // a seed missed last
        };
    for (const auto& r : rows) {
        PageState page;
        if (r.seed >= 0) page = FromSeed({.stage = static_cast<std::int8_t>(r.seed), .due = 0, .last = 0});
        DayCounts counts;
        std::istringstream steps(r.grades);
        for (std::string step; steps >> step;) {
            const Day day = std::stoi(step);
            if (page.last != day) counts = {};
            ApplyGrade(page, step.back() == 'K' ? Grade::Knew : Grade::NotYet, day, counts, r.retention);
        }
        EXPECT_NEAR(page.stability, r.stability, 1e-3) << r.grades;
        EXPECT_NEAR(page.difficulty, r.difficulty, 1e-3) << r.grades;
        EXPECT_EQ(std::tuple(page.due, counts), std::tuple(r.due, r.last)) << r.grades << " " << r.retention;
    }
}

// A seed keeps its due day, and its next interval is its stage's: 1, 2, 4
// ... 128 days.
TEST(LearnSchedule, LeitnerStagesCarryOver) {
    for (int stage = 0; stage <= kTopStage; ++stage) {
        const PageState p = FromSeed({.stage = static_cast<std::int8_t>(stage), .due = 40, .last = 30});
        EXPECT_EQ(std::tuple(p.due, p.last, IntervalDays(p.stability, kRetention)),
                  std::tuple(40, 30, stage ? 1 << (stage - 1) : 1)) << stage;
    }
}

constexpr std::int64_t kJan1 = 1704067200;  // 2024-01-01 00:00 UTC, day 19723
constexpr std::int64_t kHour = 3600;

// The day turns at 4:00 local time, whatever the offset, also before 1970.
TEST(LearnDay, TurnsAtFourLocalTime) {
    const struct { std::int64_t utc; std::int32_t offset; Day day; } rows[] = {
        {kJan1 + 4 * kHour - 1, 0, 19722}, {kJan1 + 4 * kHour, 0, 19723},
        {kJan1 + 28 * kHour - 1, 0, 19723},  // 3:59 the next morning: still the evening's day
        {kJan1 - 5 * kHour - 1, 9 * kHour, 19722}, {kJan1 - 5 * kHour, 9 * kHour, 19723},
        {kJan1 + 9 * kHour - 1, -5 * kHour, 19722}, {kJan1 + 9 * kHour, -5 * kHour, 19723},
        {4 * kHour - 1, 0, -1}, {4 * kHour, 0, 0}, {-1, 0, -1}, {-20 * kHour - 1, 0, -2},
    };
    for (const auto& r : rows) EXPECT_EQ(LearnDay(r.utc, r.offset), r.day) << r.utc << " " << r.offset;
}

// The offset comes from the system's zone, daylight saving included.
TEST(LearnDay, TakesTheOffsetFromTheSystemZone) {
    const struct { const char* tz; std::int64_t utc; std::int32_t offset; } rows[] = {
        {"TZ=JST-9", kJan1, 9 * kHour}, {"TZ=UTC0", kJan1, 0},
        {"TZ=EST5EDT,M3.2.0,M11.1.0", kJan1, -5 * kHour},
        {"TZ=EST5EDT,M3.2.0,M11.1.0", kJan1 + 190 * 24 * kHour, -4 * kHour},  // in July
    };
    for (const auto& r : rows) {
        ::putenv(const_cast<char*>(r.tz));
        ::tzset();
        EXPECT_EQ(LocalOffsetSeconds(r.utc), r.offset) << r.tz;
    }
}
