// The schedule measured on a simulated learner: 1,000 pages studied for a
// year, 20 new pages a day, every due page reviewed, under the Leitner
// stages of earlier versions and under the memory model at several target
// retentions. The learner forgets along the published power curve, and
// their memory of a page grows and falls by the model's published rules,
// but each page has a hidden difficulty and a hidden pace of its own that
// the schedule never sees: it only hears 覚えた and まだ. Printed: reviews a
// day, the share recalled when a page came back, and reviews per page
// remembered at the year's end.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <random>
#include <vector>

#include "learn/LegacyHistory.h"
#include "learn/Schedule.h"

using namespace rvm::learn;

namespace {

constexpr int kPages = 1000, kDays = 365, kNewPerDay = 20;

// Reproducible on every platform: the standard engine, our own scaling.
struct Random {
    std::mt19937_64 engine{20261207};
    double next() { return static_cast<double>(engine() >> 11) * 0x1.0p-53; }
};

// The learner's own memory of a page: a stability in days (recall 90 %
// after that long), a difficulty from 1 to 10 and a pace around 1.
struct Memory {
    double stability = 0, difficulty = 0, pace = 1;
    Day seen = 0;
};

double recallChance(const Memory& m, Day day) { return std::pow(1 + 19.0 / 81 * (day - m.seen) / m.stability, -0.5); }

// Recalled: the harder the recall, the more the memory grows; the same day,
// a short-term step.
void recalled(Memory& m, Day day) {
    const double r = recallChance(m, day);
    m.stability = day == m.seen ? m.stability * std::exp(0.51655 * 0.6621)
                                : m.stability * (1 + m.pace * std::exp(1.54575) * (11 - m.difficulty) *
                                                         std::pow(m.stability, -0.1192) *
                                                         (std::exp(1.01925 * (1 - r)) - 1));
    m.seen = day;
}

// Forgotten, then learnt again in the drill.
void forgot(Memory& m, Day day) {
    const double r = recallChance(m, day);
    m.stability = std::min(m.stability, 1.9395 * std::pow(m.difficulty, -0.11) *
                                            (std::pow(m.stability + 1, 0.29605) - 1) * std::exp(2.2698 * (1 - r)));
    m.seen = day;
}

struct Result {
    long reviews = 0, came = 0, recalledAtReview = 0;
    double remembered = 0;
};

// One year. schedule(page, grade, day) grades the schedule's copy and
// returns the page's due day.
template <class Schedule>
Result simulate(Schedule schedule) {
    Random random;
    std::vector<Memory> memory(kPages);
    for (Memory& m : memory) {
        m.difficulty = 1 + 9 * random.next();
        m.pace = 0.6 + 0.8 * random.next();
    }
    std::vector<Day> due(kPages, kNever);
    Result result;
    int introduced = 0;
    for (Day day = 0; day < kDays; ++day) {
        std::vector<int> today;
        for (int p = 0; p < introduced; ++p)
            if (due[p] <= day) today.push_back(p);
        for (int n = 0; n < kNewPerDay && introduced < kPages; ++n) today.push_back(introduced++);
        for (const int p : today) {
            Memory& m = memory[p];
            ++result.reviews;
            const bool fresh = due[p] == kNever;
            if (fresh) {
                // Seen for the first time: easy pages are known at once more often.
                const bool knew = random.next() < (10 - m.difficulty) / 9;
                m.stability = knew ? 3.173 : 0.40255;
                m.seen = day;
                due[p] = schedule(p, knew ? Grade::Knew : Grade::NotYet, day);
                if (knew) continue;
            } else {
                ++result.came;
                if (random.next() < recallChance(m, day)) {
                    ++result.recalledAtReview;
                    recalled(m, day);
                    due[p] = schedule(p, Grade::Knew, day);
                    continue;
                }
                forgot(m, day);
                due[p] = schedule(p, Grade::NotYet, day);
            }
            // まだ: it comes back in the drill until known.
            ++result.reviews;
            recalled(m, day);
            due[p] = schedule(p, Grade::Knew, day);
        }
    }
    for (const Memory& m : memory) result.remembered += recallChance(m, kDays);
    return result;
}

void print(const char* name, const Result& r) {
    std::printf("| %-22s | %7.1f | %6.1f %% | %8.2f | %6.0f |\n", name, double(r.reviews) / kDays,
                100.0 * r.recalledAtReview / r.came, r.reviews / r.remembered, r.remembered);
}

}  // namespace

int main() {
    std::printf("| schedule | reviews a day | recalled at review | reviews per page remembered | pages remembered |\n");
    std::printf("|---|---|---|---|---|\n");
    std::vector<Seed> stages(kPages);
    const Result leitner = simulate([&](int p, Grade g, Day day) {
        DayCounts ignored;
        ApplyLeitnerGrade(stages[p], g, day, ignored);
        return stages[p].due;
    });
    print("Leitner stages", leitner);
    double fewer = 0, fewerPerPage = 0;
    for (const double retention : {0.8, 0.85, 0.9, 0.95}) {
        std::vector<PageState> pages(kPages);
        const Result r = simulate([&](int p, Grade g, Day day) {
            DayCounts ignored;
            ApplyGrade(pages[p], g, day, ignored, retention);
            return pages[p].due;
        });
        char name[40];
        std::snprintf(name, sizeof name, "model, target %.0f %%", retention * 100);
        print(name, r);
        if (retention == kRetention) {
            fewer = 1 - double(r.reviews) / leitner.reviews;
            fewerPerPage = 1 - (r.reviews / r.remembered) / (leitner.reviews / leitner.remembered);
        }
    }
    std::printf("\nAt the target of 90 %%: %.0f %% fewer reviews than Leitner, %.0f %% fewer per page remembered.\n",
                100 * fewer, 100 * fewerPerPage);
}
