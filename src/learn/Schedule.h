// When a page comes back: a memory model fitted to millions of learners'
// reviews (its formulas and default weights are published openly), run with
// two grades: まだ is "forgot", 覚えた "remembered". Each page has a
// stability (the days until the chance of recalling it falls to 90 %) and a
// difficulty; every grade moves both, by how much of the page was likely
// forgotten since the last one, and the page comes back when the chance of
// recall falls to the learner's target.
#pragma once

#include <cstdint>
#include <limits>

#include "Clock.h"

namespace rvm::learn {

enum class Grade : std::uint8_t { NotYet, Knew };  // まだ, 覚えた

inline constexpr Day kNever = std::numeric_limits<Day>::min();
inline constexpr int kNewPagesPerDay = 20;
inline constexpr int kReviewsPerDay = 200;
inline constexpr double kRetention = 0.9;
// A century: no page waits longer.
inline constexpr int kLongestInterval = 36500;

struct PageState {
    float stability = 0;   // days until recall falls to 90 %
    float difficulty = 0;  // 1 (easy) to 10 (hard)
    Day due = kNever;      // due from this day on; kNever: never graded
    Day last = kNever;     // the day of the last grade
    Day missed = kNever;   // the day of the last まだ
};

// A page as an earlier version kept it: a Leitner stage whose interval
// doubles (1, 2, 4 ... 128 days); 0 after まだ.
inline constexpr int kTopStage = 8;
struct Seed {
    std::int8_t stage = 0;
    Day due = kNever, last = kNever, missed = kNever;
};
// The state that goes on from a seed: the same due day, and a stability
// whose next interval at 90 % is the stage's own, so the schedule barely
// moves.
PageState FromSeed(const Seed& seed);

// The chance of recalling a page of this stability after `days`.
double Retrievability(double days, double stability);
// The days until recall falls to retention, at least 1.
int IntervalDays(double stability, double retention);
// The chance of recall on day; 1 for a page never graded.
double RetrievabilityOn(const PageState& page, Day day);

// One day's grading in pages, not grades: a page graded again that day
// counts once.
struct DayCounts {
    int reviewed = 0;    // pages graded
    int missed = 0;      // of those, pages graded まだ at least once
    int introduced = 0;  // pages graded for the first time ever
    int came = 0;        // pages back from an earlier day's grade
    int recalled = 0;    // of those, pages graded 覚えた at first
    int known() const { return reviewed - missed; }
    bool operator==(const DayCounts&) const = default;
};

// The due day that the grade which left page as it is gives under another
// target: after まだ the day of the grade, after 覚えた the interval later.
Day DueAt(const PageState& page, double retention);

// The page after grade g on day, counted into that day's counts; it comes
// back when recall falls to retention (after まだ: at once).
void ApplyGrade(PageState& page, Grade g, Day day, DayCounts& counts, double retention = kRetention);

}  // namespace rvm::learn
