// A drill: the pages to grade in an order of its own (the deck's display
// order, its file and its changed flag stay as they are), and how it goes.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "LearnStore.h"

namespace rvm::learn {

// What the learner chose in 学習 > 設定.
struct StudySettings {
    double retention = kRetention;
    int newPerDay = kNewPagesPerDay;
    int reviewsPerDay = kReviewsPerDay;
    bool operator==(const StudySettings&) const = default;
};

class Drill {
public:
    // 今日の復習: the pages whose interval has run out, the most forgotten
    // (least likely recalled) first, up to reviewsPerDay a day, then pages
    // never graded, up to newPerDay a day. Pages held back by the limit come
    // first on a later day; pages begun today are never held back. keys are
    // the deck's by storage index, displayOrder its storage index at each
    // display position, which also orders pages as likely recalled and new
    // pages.
    static Drill Today(const LearnStore& store, const std::vector<Key>& keys,
                       const std::vector<int>& displayOrder, Day today, int newPerDay = kNewPagesPerDay,
                       int reviewsPerDay = kReviewsPerDay);
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
    int heldBack() const { return heldBack_; }  // due pages left for a later day
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
    int known_ = 0, missed_ = 0, heldBack_ = 0;
    std::vector<State> before_;  // before each grade of this drill
};

// When the deck's next reviews come: the first day after today with pages
// due, and how many are due by then (those held back today among them).
struct NextReviews {
    Day day = kNever;
    int pages = 0;
};
NextReviews NextReviewsOf(const LearnStore& store, const std::vector<Key>& keys, Day today);

// The message at the end of 今日の復習: the day's counts, the pages held
// back and why, and when the next ones are due; when nothing was due today,
// when the next page will be.
std::string TodayDoneText(const DayCounts& counts, int heldBack, int reviewsPerDay, NextReviews next, Day today);

}  // namespace rvm::learn
