#pragma once

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

} // namespace platform
