// When a page comes back: Leitner stages whose intervals double. 覚えた moves
// a due page one stage up, まだ puts it back to the start.
#pragma once

#include <cstdint>
#include <limits>

#include "Clock.h"

namespace rvm::learn {

enum class Grade : std::uint8_t { NotYet, Knew };  // まだ, 覚えた

inline constexpr Day kNever = std::numeric_limits<Day>::min();
inline constexpr int kTopStage = 8;
inline constexpr int kNewPagesPerDay = 20;

// The days from a 覚えた that reaches stage (1..kTopStage) to the day the
// page is due again: 1, 2, 4 ... 128.
constexpr int IntervalDays(int stage) { return 1 << (stage - 1); }

struct PageState {
    std::int8_t stage = 0;  // 0 after まだ, else 1..kTopStage
    Day due = kNever;       // due from this day on; kNever: never graded
    Day last = kNever;      // the day of the last grade
    Day missed = kNever;    // the day of the last まだ
};

// One day's grading in pages, not grades: a page graded again that day
// counts once.
struct DayCounts {
    int reviewed = 0;    // pages graded
    int missed = 0;      // of those, pages graded まだ at least once
    int introduced = 0;  // pages graded for the first time ever
    int known() const { return reviewed - missed; }
    bool operator==(const DayCounts&) const = default;
};

// The page after grade g on day, counted into that day's counts. 覚えた on a
// page not due (known already today) leaves its schedule as it is.
void ApplyGrade(PageState& page, Grade g, Day day, DayCounts& counts);

}  // namespace rvm::learn
