#include "Drill.h"

#include <algorithm>
#include <chrono>

namespace rvm::learn {
namespace {

// Far enough for the answer to leave short-term memory, near enough to
// learn it within the drill.
constexpr std::size_t kComesBackAfter = 5;

std::string counts(int known, int missed) {
    return "○ " + std::to_string(known) + "  × " + std::to_string(missed);
}

}  // namespace

Drill Drill::Today(const LearnStore& store, const std::vector<Key>& keys,
                   const std::vector<int>& displayOrder, Day today, int newPerDay, int reviewsPerDay) {
    struct Due {
        double recall;
        int at;
        bool begun;  // graded today already: its review is counted
    };
    std::vector<Due> due;
    std::vector<int> fresh;
    const DayCounts done = store.counts(today);
    const auto room = static_cast<std::size_t>(std::max(0, newPerDay - done.introduced));
    int reviewRoom = std::max(0, reviewsPerDay - (done.reviewed - done.introduced));
    for (const int at : displayOrder) {
        if (at < 0 || static_cast<std::size_t>(at) >= keys.size() || keys[at] == kBlankPage) continue;
        if (const PageState* page = store.find(keys[at])) {
            if (page->due <= today) due.push_back({RetrievabilityOn(*page, today), at, page->last == today});
        } else if (fresh.size() < room) {
            fresh.push_back(at);
        }
    }
    // Stable: pages as likely recalled keep their display order.
    std::stable_sort(due.begin(), due.end(), [](const Due& a, const Due& b) { return a.recall < b.recall; });
    Drill drill;
    for (const Due& d : due) {
        if (!d.begun && reviewRoom-- <= 0) {
            ++drill.heldBack_;
            continue;
        }
        drill.queue_.push_back({keys[d.at], d.at, false});
    }
    for (const int at : fresh) drill.queue_.push_back({keys[at], at, false});
    return drill;
}

Drill Drill::Missed(const LearnStore& store, const std::vector<Key>& keys,
                    const std::vector<int>& displayOrder, Day today) {
    Drill drill;
    for (const int at : displayOrder) {
        if (at < 0 || static_cast<std::size_t>(at) >= keys.size()) continue;
        const PageState* page = store.find(keys[at]);
        if (page && page->missed == today) drill.queue_.push_back({keys[at], at, false});
    }
    return drill;
}

int Drill::current(const std::vector<Key>& keys) {
    while (!queue_.empty()) {
        Entry& e = queue_.front();
        if (e.at >= 0 && static_cast<std::size_t>(e.at) < keys.size() && keys[e.at] == e.key) return e.at;
        const auto it = std::find(keys.begin(), keys.end(), e.key);
        if (it != keys.end()) return e.at = static_cast<int>(it - keys.begin());
        queue_.pop_front();
    }
    return -1;
}

void Drill::grade(Grade g, LearnStore& store, Day today, std::int64_t time) {
    if (queue_.empty()) return;
    before_.push_back({queue_, known_, missed_});
    Entry e = queue_.front();
    queue_.pop_front();
    store.grade(e.key, g, today, time);
    if (g == Grade::Knew) {
        known_ += !e.missed;
        return;
    }
    missed_ += !e.missed;
    e.missed = true;
    queue_.insert(queue_.begin() + static_cast<std::ptrdiff_t>(std::min(kComesBackAfter, queue_.size())), e);
}

bool Drill::undo(LearnStore& store, Day today, std::int64_t time) {
    if (before_.empty() || store.undoGrade(today, time) == kBlankPage) return false;
    queue_ = std::move(before_.back().queue);
    known_ = before_.back().known;
    missed_ = before_.back().missed;
    before_.pop_back();
    return true;
}

std::string Drill::progressText() const {
    return "残り " + std::to_string(left()) + "  " + counts(known_, missed_);
}

NextReviews NextReviewsOf(const LearnStore& store, const std::vector<Key>& keys, Day today) {
    NextReviews next;
    // Pages due today and left for now come back tomorrow.
    for (const Key key : keys) {
        const PageState* page = store.find(key);
        const Day due = page ? std::max(page->due, today + 1) : kNever;
        if (page && (next.day == kNever || due < next.day)) next.day = due;
    }
    for (const Key key : keys)
        if (const PageState* page = store.find(key)) next.pages += page->due <= next.day;
    return next;
}

std::string TodayDoneText(const DayCounts& done, int heldBack, int reviewsPerDay, NextReviews next, Day today) {
    std::string text = done.reviewed ? "今日の復習は終わりました。\r" + counts(done.known(), done.missed)
                                     : std::string("今日復習するページはありません。");
    if (heldBack > 0)
        text += "\r1日の復習は " + std::to_string(reviewsPerDay) + " ページまでなので、残りの " +
                std::to_string(heldBack) + " ページは明日以降に回します。";
    if (next.day != kNever) {
        using namespace std::chrono;
        const year_month_day date{sys_days{days{next.day}}};
        const int in = next.day - today;
        text += "\r次の復習は" + (in == 1 ? std::string("明日") : std::to_string(in) + "日後") + " (" +
                std::to_string(static_cast<unsigned>(date.month())) + "月" +
                std::to_string(static_cast<unsigned>(date.day())) + "日)、" + std::to_string(next.pages) +
                " ページです。";
    }
    return text;
}

}  // namespace rvm::learn
