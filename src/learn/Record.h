// What the record window draws: plain figures for the deck and its history.
#pragma once

#include <vector>

#include "LearnStore.h"

namespace rvm::learn {

// The counts of each of the `days` days that end with today, oldest first.
std::vector<DayCounts> ReviewsPerDay(const LearnStore& store, Day today, int days = 30);

// The deck's pages coming due on each of the `days` days from today on;
// today's figure holds the overdue pages too, and never-graded pages count
// nowhere.
std::vector<int> DuePerDay(const LearnStore& store, const std::vector<Key>& keys, Day today, int days = 14);

// The memory's strength: the deck's pages by the interval their last grade
// gave them. [0] never graded, [1] graded まだ last, then one figure for each
// span of kIntervalSpans (up to its last day). Blank pages count nowhere.
inline constexpr int kIntervalSpans[] = {1, 3, 7, 14, 30, 90, 180, 365, kLongestInterval};
std::vector<int> PagesByInterval(const LearnStore& store, const std::vector<Key>& keys);

}  // namespace rvm::learn
