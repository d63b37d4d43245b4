#include "Drill.h"

#include <algorithm>

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
                   const std::vector<int>& displayOrder, Day today, int newPerDay) {
    std::vector<std::pair<Day, int>> due;  // due day, storage index
    std::vector<int> fresh;
    const auto room = static_cast<std::size_t>(std::max(0, newPerDay - store.counts(today).introduced));
    for (const int at : displayOrder) {
        if (at < 0 || static_cast<std::size_t>(at) >= keys.size() || keys[at] == kBlankPage) continue;
        if (const PageState* page = store.find(keys[at])) {
            if (page->due <= today) due.emplace_back(page->due, at);
        } else if (fresh.size() < room) {
            fresh.push_back(at);
        }
    }
    // Stable: pages due the same day keep their display order.
    std::stable_sort(due.begin(), due.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    Drill drill;
    for (const auto& [day, at] : due) drill.queue_.push_back({keys[at], at, false});
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

std::string TodayDoneText(const DayCounts& today) {
    return "今日の復習は終わりました。\r" + counts(today.known(), today.missed);
}

}  // namespace rvm::learn
