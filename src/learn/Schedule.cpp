#include "Schedule.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace rvm::learn {
namespace {

// The published default weights, w[0] to w[18].
constexpr std::array<double, 19> w = {0.40255, 1.18385, 3.173,  15.69105, 7.1949, 0.5345, 1.4604,
                                      0.0046,  1.54575, 0.1192, 1.01925,  1.9395, 0.11,   0.29605,
                                      2.2698,  0.2315,  2.9898, 0.51655,  0.6621};
// The forgetting curve's shape: R(S, S) = 90 %. Its power of -1/2 is an
// inverse square root, far cheaper than pow() in a replay of every grade.
constexpr double kFactor = 19.0 / 81.0;
constexpr double kLeastStability = 0.01;

// The model's four grades: only 1 (forgot) and 3 (remembered) are used.
int rating(Grade g) { return g == Grade::Knew ? 3 : 1; }

double clampDifficulty(double d) { return std::clamp(d, 1.0, 10.0); }
double initialDifficulty(int r) { return w[4] - std::exp(w[5] * (r - 1)) + 1; }

// Harder pages grow more slowly; a step is damped near the top, and each
// step leans back toward the difficulty of a page known at once.
double nextDifficulty(double d, int r) {
    const double stepped = d - w[6] * (r - 3) * (10 - d) / 9;
    return clampDifficulty(w[7] * initialDifficulty(4) + (1 - w[7]) * stepped);
}

// Remembered: the less likely recall was, the more stability grows.
double recallStability(double d, double s, double r) {
    return s * (std::exp(w[8]) * (11 - d) * std::pow(s, -w[9]) * (std::exp(w[10] * (1 - r)) - 1) + 1);
}

// Forgotten: a new, smaller stability, never more than before.
double forgetStability(double d, double s, double r) {
    return std::min(s, w[11] * std::pow(d, -w[12]) * (std::pow(s + 1, w[13]) - 1) * std::exp(w[14] * (1 - r)));
}

// Graded again the same day: too soon for forgetting, a short-term step.
double sameDayStability(double s, int r) { return s * std::exp(w[17] * (r - 3 + w[18])); }

}  // namespace

double Retrievability(double days, double stability) {
    return 1 / std::sqrt(1 + kFactor * std::max(days, 0.0) / std::max(stability, kLeastStability));
}

int IntervalDays(double stability, double retention) {
    const double days = stability / kFactor * (1 / (retention * retention) - 1);
    return static_cast<int>(std::clamp(std::round(days), 1.0, double(kLongestInterval)));
}

double RetrievabilityOn(const PageState& page, Day day) {
    return page.due == kNever ? 1.0 : Retrievability(double(day) - page.last, page.stability);
}

PageState FromSeed(const Seed& seed) {
    PageState p{.due = seed.due, .last = seed.last, .missed = seed.missed};
    if (seed.due == kNever) return p;
    const bool missed = seed.stage == 0;
    p.stability = static_cast<float>(missed ? w[0] : double(1 << (seed.stage - 1)));
    p.difficulty = static_cast<float>(clampDifficulty(initialDifficulty(missed ? 1 : 3)));
    return p;
}

Day DueAt(const PageState& page, double retention) {
    return page.due == page.last ? page.last : page.last + IntervalDays(page.stability, retention);
}

void ApplyGrade(PageState& page, Grade g, Day day, DayCounts& counts, double retention) {
    const int r = rating(g);
    double s, d;
    if (page.due == kNever) {
        ++counts.introduced;
        s = w[r - 1];
        d = clampDifficulty(initialDifficulty(r));
    } else {
        d = nextDifficulty(page.difficulty, r);
        if (day <= page.last) {
            s = sameDayStability(page.stability, r);
        } else {
            const double recall = Retrievability(double(day) - page.last, page.stability);
            s = g == Grade::Knew ? recallStability(page.difficulty, page.stability, recall)
                                 : forgetStability(page.difficulty, page.stability, recall);
        }
    }
    if (page.last != day) {
        ++counts.reviewed;
        // Recall measured where the schedule put it: a page back on a later day.
        if (page.due != kNever) ++counts.came, counts.recalled += g == Grade::Knew;
    }
    if (g == Grade::NotYet && page.missed != day) ++counts.missed;
    page.stability = static_cast<float>(std::max(s, kLeastStability));
    page.difficulty = static_cast<float>(d);
    if (g == Grade::NotYet) {
        page.due = page.missed = day;  // again in this drill, and in 間違えたページ
    } else {
        page.due = day + IntervalDays(page.stability, retention);
    }
    page.last = day;
}

}  // namespace rvm::learn
