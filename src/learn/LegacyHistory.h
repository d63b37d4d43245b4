// The per-deck histories of earlier versions (NAME.rvmlearn with its .log
// in the data folder), read once so that no learner loses what they knew.
#pragma once

#include <map>
#include <string>
#include <string_view>

#include "PageKey.h"
#include "Schedule.h"

namespace rvm::learn {

struct LegacyHistory {
    std::map<Key, Seed> pages;
    std::map<Day, DayCounts> days;
};

// The rule those histories were kept by: 覚えた on a due page moves it one
// stage up, まだ back to the start.
void ApplyLeitnerGrade(Seed& page, Grade g, Day day, DayCounts& counts);

// Adds one deck's history file and log to into: a page known in several
// decks keeps its latest state; the days' counts add up. Damaged lines are
// passed over.
void AddLegacyHistory(std::string_view history, std::string_view log, LegacyHistory& into);

// Every history in folder, added up.
LegacyHistory ReadLegacyHistories(const std::string& folder);

}  // namespace rvm::learn
