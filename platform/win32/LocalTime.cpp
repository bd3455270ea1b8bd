#include "platform/LocalTime.h"

#include <cstdint>
#include <windows.h>

namespace platform {

namespace {

std::int64_t Ticks(const FILETIME& time) {
  return static_cast<std::int64_t>((static_cast<std::uint64_t>(time.dwHighDateTime) << 32) |
                                   time.dwLowDateTime);
}

constexpr std::int64_t TicksPerMinute = 600000000;

} // namespace

LocalTime CurrentLocalTime() {
  FILETIME utcTicks{};
  ::GetSystemTimeAsFileTime(&utcTicks);
  SYSTEMTIME utc{};
  SYSTEMTIME local{};
  ::FileTimeToSystemTime(&utcTicks, &utc);
  if (!::SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local))
    local = utc;
  FILETIME localTicks{};
  ::SystemTimeToFileTime(&local, &localTicks);
  const std::int64_t difference = Ticks(localTicks) - Ticks(utcTicks);
  // Both sides hold the same milliseconds; rounding absorbs the rest.
  const auto offset = static_cast<int>(
      (difference + (difference < 0 ? -TicksPerMinute / 2 : TicksPerMinute / 2)) / TicksPerMinute);
  return {local.wYear,   local.wMonth,  local.wDay,          local.wHour,
          local.wMinute, local.wSecond, local.wMilliseconds, offset};
}

} // namespace platform
