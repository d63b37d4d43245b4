#include "Clock.h"

namespace rvm::learn {

bool LocalCalendar(std::int64_t utcSeconds, std::tm& out) {
    const auto t = static_cast<std::time_t>(utcSeconds);
    return localtime_s(&out, &t) == 0;  // fails before 1970 and after 3000
}

}  // namespace rvm::learn
