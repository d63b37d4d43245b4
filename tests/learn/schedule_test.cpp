// When a page comes back, and when a learning day turns.
#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>
#include <tuple>

#include "learn/Schedule.h"

using namespace rvm::learn;

// Grades given on days ("3K": 覚えた on day 3, "3M": まだ), then the page's
// stage and due day and the last day's counts in pages.
TEST(LearnSchedule, GradesMoveThePageAndCountTheDay) {
    const struct { const char* grades; int stage; Day due; DayCounts last; } rows[] = {
        {"0K", 1, 1, {1, 0, 1}}, {"0K 1K 3K", 3, 7, {1, 0, 0}},
        {"0K 0K", 1, 1, {1, 0, 1}},          // not due again the same day: no longer interval
        {"0K 1K 2K", 2, 3, {1, 0, 0}},       // known before it is due: the schedule stays
        {"0K 1K 3K 7M", 0, 7, {1, 1, 0}},    // まだ starts it over, due at once
        {"0M 0M 0K", 1, 1, {1, 1, 1}}, {"0M 5K", 1, 6, {1, 0, 0}},  // missed, then known that day or later
        {"0K 1K 3K 7K 15K 31K 63K 127K 255K 383K", 8, 511, {1, 0, 0}},  // the top stage keeps 128 days
    };
    for (const auto& r : rows) {
        PageState page;
        DayCounts counts;
        std::istringstream steps(r.grades);
        for (std::string step; steps >> step;) {
            const Day day = std::stoi(step);
            if (page.last != day) counts = {};
            ApplyGrade(page, step.back() == 'K' ? Grade::Knew : Grade::NotYet, day, counts);
        }
        EXPECT_EQ(std::tuple(page.stage, page.due, counts), std::tuple(r.stage, r.due, r.last)) << r.grades;
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
