#include "watch/TimeScale.h"

#include "platform/LocalTime.h"
#include "record/TimeText.h"

#include <algorithm>
#include <cstdio>

namespace {

constexpr std::int64_t Second = 1000;
constexpr std::int64_t Minute = 60 * Second;
constexpr std::int64_t Hour = 60 * Minute;
constexpr std::int64_t Day = 24 * Hour;

constexpr std::int64_t Steps[] = {
    Second, 2 * Second, 5 * Second, 10 * Second, 15 * Second, 30 * Second,
    Minute, 2 * Minute, 5 * Minute, 10 * Minute, 15 * Minute, 30 * Minute,
    Hour,   2 * Hour,   3 * Hour,   6 * Hour,    12 * Hour,   Day,
};

// No clock changes twice within this: probing at its pace finds every
// change of the distance from UTC.
constexpr std::int64_t Probe = Hour;

std::int64_t OffsetMsAt(std::int64_t time) {
  return static_cast<std::int64_t>(platform::LocalTimeAt(time).OffsetMinutes) * Minute;
}

// The first moment after `from` and before `to` at which the distance from
// UTC is no longer `offset`; `to` when there is none.
std::int64_t OffsetEnd(std::int64_t from, std::int64_t to, std::int64_t offset) {
  for (std::int64_t at = from; at < to;) {
    const std::int64_t next = std::min(to, at + Probe);
    if (OffsetMsAt(next) != offset) {
      std::int64_t same = at;
      std::int64_t other = next;
      while (other - same > 1) {
        const std::int64_t middle = same + (other - same) / 2;
        (OffsetMsAt(middle) == offset ? same : other) = middle;
      }
      return other;
    }
    at = next;
  }
  return to;
}

std::string ClockLabel(const platform::LocalTime& time, bool seconds) {
  char text[16];
  if (seconds)
    std::snprintf(text, sizeof text, "%02d:%02d:%02d", time.Hour, time.Minute, time.Second);
  else
    std::snprintf(text, sizeof text, "%02d:%02d", time.Hour, time.Minute);
  return text;
}

} // namespace

std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
  return a / b - (a % b != 0 && a < 0 ? 1 : 0);
}

std::int64_t TimeStepOf(std::int64_t minStepMs) {
  for (const std::int64_t step : Steps) {
    if (step >= minStepMs)
      return step;
  }
  return Day;
}

std::vector<TTimeTick> TimeTicks(std::int64_t t0, std::int64_t t1, std::int64_t stepMs) {
  std::vector<TTimeTick> ticks;
  if (stepMs <= 0)
    return ticks;
  long lastDay = 0;
  // Stretch by stretch of one distance from UTC, the moments whose local
  // time is a multiple of the step.
  for (std::int64_t from = t0; from < t1;) {
    const std::int64_t offset = OffsetMsAt(from);
    const std::int64_t to = OffsetEnd(from, t1, offset);
    for (std::int64_t time = (FloorDiv(from + offset - 1, stepMs) + 1) * stepMs - offset; time < to;
         time += stepMs) {
      const platform::LocalTime local = platform::LocalTimeAt(time);
      TTimeTick tick{time, ClockLabel(local, stepMs < Minute), {}};
      const long day = DayNumber(local.Year, local.Month, local.Day);
      if (ticks.empty() || day != lastDay)
        tick.Date = DayName(local);
      lastDay = day;
      ticks.push_back(std::move(tick));
    }
    from = to;
  }
  return ticks;
}
