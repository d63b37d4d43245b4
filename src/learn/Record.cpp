#include "Record.h"

#include <algorithm>

namespace rvm::learn {

std::vector<DayCounts> ReviewsPerDay(const LearnStore& store, Day today, int days) {
    std::vector<DayCounts> out;
    for (Day d = today - days + 1; d <= today; ++d) out.push_back(store.counts(d));
    return out;
}

std::vector<int> DuePerDay(const LearnStore& store, const std::vector<Key>& keys, Day today, int days) {
    std::vector<int> out(static_cast<std::size_t>(std::max(days, 0)));
    for (const Key key : keys) {
        const PageState* page = store.find(key);
        if (!page) continue;
        const auto in = static_cast<std::size_t>(std::max<std::int64_t>(std::int64_t{page->due} - today, 0));
        if (in < out.size()) ++out[in];
    }
    return out;
}

std::vector<int> PagesPerStage(const LearnStore& store, const std::vector<Key>& keys) {
    std::vector<int> out(kTopStage + 2);
    for (const Key key : keys) {
        if (key == kBlankPage) continue;
        const PageState* page = store.find(key);
        ++out[page ? 1 + page->stage : 0];
    }
    return out;
}

}  // namespace rvm::learn
