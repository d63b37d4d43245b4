#include "Record.h"

#include <algorithm>
#include <iterator>

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

std::vector<int> PagesByInterval(const LearnStore& store, const std::vector<Key>& keys) {
    std::vector<int> out(2 + std::size(kIntervalSpans));
    for (const Key key : keys) {
        if (key == kBlankPage) continue;
        const PageState* page = store.find(key);
        if (!page) {
            ++out[0];
        } else if (page->due <= page->last) {
            ++out[1];
        } else {
            const int* span = std::lower_bound(std::begin(kIntervalSpans), std::end(kIntervalSpans) - 1,
                                               page->due - page->last);
            ++out[2 + static_cast<std::size_t>(span - std::begin(kIntervalSpans))];
        }
    }
    return out;
}

}  // namespace rvm::learn
