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
constexpr std::int64_t TicksPerMs = 10000;
// 1601-01-01 to 1970-01-01, in milliseconds.
constexpr std::int64_t EpochToUnixMs = 11644473600000;

LocalTime LocalTimeOf(const FILETIME& utcTicks) {
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

} // namespace

LocalTime CurrentLocalTime() {
  FILETIME utcTicks{};
  ::GetSystemTimeAsFileTime(&utcTicks);
  return LocalTimeOf(utcTicks);
}

LocalTime LocalTimeAt(std::int64_t epochMs) {
  const auto ticks = static_cast<std::uint64_t>((epochMs + EpochToUnixMs) * TicksPerMs);
  FILETIME utcTicks{};
  utcTicks.dwLowDateTime = static_cast<DWORD>(ticks & 0xFFFFFFFFu);
  utcTicks.dwHighDateTime = static_cast<DWORD>(ticks >> 32);
  return LocalTimeOf(utcTicks);
}

} // namespace platform
