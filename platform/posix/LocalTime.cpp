#include "platform/LocalTime.h"

#include <ctime>

namespace platform {

namespace {

LocalTime LocalTimeOf(time_t seconds, int millisecond) {
  tm local{};
  ::localtime_r(&seconds, &local);
  return {local.tm_year + 1900, local.tm_mon + 1,
          local.tm_mday,        local.tm_hour,
          local.tm_min,         local.tm_sec,
          millisecond,          static_cast<int>(local.tm_gmtoff / 60)};
}

} // namespace

LocalTime CurrentLocalTime() {
  timespec now{};
  ::clock_gettime(CLOCK_REALTIME, &now);
  return LocalTimeOf(now.tv_sec, static_cast<int>(now.tv_nsec / 1000000));
}

LocalTime LocalTimeAt(std::int64_t epochMs) {
  // Whole seconds rounded down, so a moment before 1970 keeps its second.
  std::int64_t seconds = epochMs / 1000;
  if (epochMs % 1000 < 0)
    --seconds;
  return LocalTimeOf(static_cast<time_t>(seconds), static_cast<int>(epochMs - seconds * 1000));
}

} // namespace platform
