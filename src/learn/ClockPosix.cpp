#include "Clock.h"

namespace rvm::learn {

bool LocalCalendar(std::int64_t utcSeconds, std::tm& out) {
    const auto t = static_cast<std::time_t>(utcSeconds);
    return ::localtime_r(&t, &out) != nullptr;
}

}  // namespace rvm::learn
