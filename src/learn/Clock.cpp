#include "Clock.h"

namespace rvm::learn {

Day LearnDay(std::int64_t utcSeconds, std::int32_t offsetSeconds) {
    const std::int64_t local = utcSeconds + offsetSeconds - kDayTurnHour * 3600;
    // Rounded down, also before 1970.
    return static_cast<Day>(local >= 0 ? local / 86400 : (local + 1) / 86400 - 1);
}

std::int32_t LocalOffsetSeconds(std::int64_t utcSeconds) {
    std::tm tm{};
    if (!LocalCalendar(utcSeconds, tm)) return 0;
    using namespace std::chrono;
    const sys_days date = year{tm.tm_year + 1900} / (tm.tm_mon + 1) / tm.tm_mday;
    const std::int64_t local = std::int64_t{date.time_since_epoch().count()} * 86400 +
                               tm.tm_hour * 3600 + tm.tm_min * 60 + tm.tm_sec;
    return static_cast<std::int32_t>(local - utcSeconds);
}

Day LocalLearnDay(std::chrono::system_clock::time_point now) {
    const auto utc = std::chrono::duration_cast<std::chrono::seconds>(now.time_since_epoch()).count();
    return LearnDay(utc, LocalOffsetSeconds(utc));
}

}  // namespace rvm::learn
