#pragma once

#include <cstdint>

namespace platform {

// A moment as the user's clock shows it, with its distance from UTC.
struct LocalTime {
  int Year = 1970;
  int Month = 1; // 1..12
  int Day = 1;   // 1..31
  int Hour = 0;
  int Minute = 0;
  int Second = 0;
  int Millisecond = 0;
  int OffsetMinutes = 0; // local time minus UTC
};

LocalTime CurrentLocalTime();

// The moment epochMs (milliseconds since 1970-01-01 UTC) as the user's clock
// showed it then, with the distance from UTC in force at that moment.
LocalTime LocalTimeAt(std::int64_t epochMs);

} // namespace platform
