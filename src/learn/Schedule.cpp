#include "Schedule.h"

#include <algorithm>

namespace rvm::learn {

void ApplyGrade(PageState& page, Grade g, Day day, DayCounts& counts) {
    if (page.due == kNever) ++counts.introduced;
    if (page.last != day) ++counts.reviewed;
    if (g == Grade::NotYet) {
        if (page.missed != day) ++counts.missed;
        page.stage = 0;
        page.due = page.missed = day;
    } else if (page.due <= day) {
        page.stage = static_cast<std::int8_t>(std::min(page.stage + 1, kTopStage));
        page.due = day + IntervalDays(page.stage);
    }
    page.last = day;
}

}  // namespace rvm::learn
