// A drill: the pages to grade in an order of its own (the deck's display
// order, its file and its changed flag stay as they are), and how it goes.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "LearnStore.h"

namespace rvm::learn {

class Drill {
public:
    // 今日の復習: the pages whose interval has run out, the longest due
    // first, then pages never graded, up to newPerDay a day. keys are the
    // deck's by storage index, displayOrder its storage index at each display
    // position, which also orders pages due the same day and new pages.
    static Drill Today(const LearnStore& store, const std::vector<Key>& keys,
                       const std::vector<int>& displayOrder, Day today, int newPerDay = kNewPagesPerDay);
    // 間違えたページ: every page graded まだ today, in display order.
    static Drill Missed(const LearnStore& store, const std::vector<Key>& keys,
                        const std::vector<int>& displayOrder, Day today);

    // The storage index of the page to show, or -1 when the drill is over.
    // Pages gone from the deck as keys now has it (deleted, or their text
    // edited) are passed over.
    int current(const std::vector<Key>& keys);
    // Grades the page current() gave, in the store at once (time: the wall
    // time). A page graded まだ comes back a few pages later until it is
    // graded 覚えた.
    void grade(Grade g, LearnStore& store, Day today, std::int64_t time);
    // Takes the latest grade of this drill back, in the store too, and
    // puts the drill where it was before it; false when there is none.
    bool undo(LearnStore& store, Day today, std::int64_t time);
    bool canUndo() const { return !before_.empty(); }

    int left() const { return static_cast<int>(queue_.size()); }
    int known() const { return known_; }    // pages graded 覚えた without a まだ in this drill
    int missed() const { return missed_; }  // pages graded まだ in this drill
    // The status panel's text: "残り 12  ○ 30  × 4".
    std::string progressText() const;

private:
    struct Entry {
        Key key;
        int at;  // its storage index when last seen
        bool missed;
    };
    struct State {
        std::deque<Entry> queue;
        int known, missed;
    };
    std::deque<Entry> queue_;
    int known_ = 0, missed_ = 0;
    std::vector<State> before_;  // before each grade of this drill
};

// The message at the end of 今日の復習, with the day's counts.
std::string TodayDoneText(const DayCounts& today);

}  // namespace rvm::learn
