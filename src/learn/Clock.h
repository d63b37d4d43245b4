// Learning days. A day turns at 4:00 local time, so a drill past midnight
// still counts for the evening it began in. The clock is always read by the
// caller and passed in.
#pragma once

#include <chrono>
#include <cstdint>
#include <ctime>

namespace rvm::learn {

using Day = std::int32_t;  // days since 1970-01-01
inline constexpr int kDayTurnHour = 4;

// The learning day of a moment given as seconds since 1970 (UTC) and the
// local time's offset from UTC at that moment, in seconds.
Day LearnDay(std::int64_t utcSeconds, std::int32_t offsetSeconds);

// The system time zone's offset from UTC at that moment, daylight saving
// included; 0 where the system cannot tell.
std::int32_t LocalOffsetSeconds(std::int64_t utcSeconds);

// The learning day at the clock reading now, in the system time zone.
Day LocalLearnDay(std::chrono::system_clock::time_point now);

// The local calendar time of a moment: one backend per platform.
bool LocalCalendar(std::int64_t utcSeconds, std::tm& out);

}  // namespace rvm::learn
