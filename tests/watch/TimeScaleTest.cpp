#include "watch/TimeScale.h"
#include "platform/LocalTime.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>

namespace {

constexpr std::int64_t Minute = 60 * 1000;
constexpr std::int64_t Hour = 60 * Minute;

// The process's time zone, a rule or none (the system's).
void SetZone(const std::optional<std::string>& rule) {
#ifdef _WIN32
  _putenv_s("TZ", rule ? rule->c_str() : "");
  _tzset();
#else
  if (rule)
    setenv("TZ", rule->c_str(), 1);
  else
    unsetenv("TZ");
  tzset();
#endif
}

// The process's time zone for the test's length. A POSIX rule needs no
// time-zone database; where the platform does not take the variable (a
// Windows build), the test says so and skips.
class ScopedZone {
public:
  explicit ScopedZone(const char* rule) {
    if (const char* old = std::getenv("TZ"))
      Old = old;
    SetZone(rule);
  }
  ~ScopedZone() { SetZone(Old); }
  ScopedZone(const ScopedZone&) = delete;
  ScopedZone& operator=(const ScopedZone&) = delete;

  // Whether the platform took the rule: the moment is that far from UTC.
  bool Holds(std::int64_t moment, int offsetMinutes) const {
    return platform::LocalTimeAt(moment).OffsetMinutes == offsetMinutes;
  }

private:
  std::optional<std::string> Old;
};

// 2026-03-29 and 2026-10-25 00:00 UTC, the days Central Europe changes its
// clocks, at 01:00 UTC.
constexpr std::int64_t SpringDay = 1'774'742'400'000;
constexpr std::int64_t AutumnDay = 1'792'886'400'000;

constexpr const char* CentralEurope = "CET-1CEST,M3.5.0,M10.5.0/3";
constexpr const char* NotSet = "the time zone of this process cannot be set here";

std::string Labels(const std::vector<TTimeTick>& ticks) {
  std::string text;
  for (const TTimeTick& tick : ticks)
    text += (text.empty() ? "" : " ") + tick.Label + (tick.Date.empty() ? "" : "/" + tick.Date);
  return text;
}

} // namespace

// Whatever the user's zone: the steps a clock reads, and ticks on them.
TEST(TimeScale, TicksAreRoundTimesOfTheUsersOwnClock) {
  EXPECT_EQ(TimeStepOf(1), 1000);
  EXPECT_EQ(TimeStepOf(54'000), Minute);
  EXPECT_EQ(TimeStepOf(11 * Minute), 15 * Minute);
  EXPECT_EQ(TimeStepOf(7'776'000), 3 * Hour);
  EXPECT_EQ(TimeStepOf(3 * 24 * Hour), 24 * Hour);
  const std::vector<TTimeTick> ticks =
      TimeTicks(SpringDay - 12 * Hour, SpringDay + 60 * Hour, 15 * Minute);
  EXPECT_NEAR(static_cast<double>(ticks.size()), 72 * 4, 4);
  for (std::size_t i = 0; i < ticks.size(); ++i) {
    const platform::LocalTime local = platform::LocalTimeAt(ticks[i].TimeMs);
    EXPECT_TRUE(local.Minute % 15 == 0 && local.Second == 0 && local.Millisecond == 0)
        << ticks[i].Label;
    if (i > 0) {
      EXPECT_GT(ticks[i].TimeMs, ticks[i - 1].TimeMs);
    }
  }
}

TEST(TimeScale, TicksFallOnRoundLocalTimesWithTheDateUnderEachDaysFirst) {
  const ScopedZone zone(CentralEurope);
  if (!zone.Holds(SpringDay + 2 * Hour, 120))
    GTEST_SKIP() << NotSet;

  // 2026-03-30 12:07:10 to 13:10 local time (UTC+2).
  const std::int64_t noon = SpringDay + 24 * Hour + 10 * Hour;
  const std::vector<TTimeTick> quarters =
      TimeTicks(noon + 7 * Minute + 10'000, noon + 70 * Minute, 15 * Minute);
  EXPECT_EQ(Labels(quarters), "12:15/2026-03-30 12:30 12:45 13:00");
  EXPECT_EQ(quarters.front().TimeMs, noon + 15 * Minute);
  EXPECT_EQ(Labels(TimeTicks(noon - 1, noon + 31'000, 15'000)),
            "12:00:00/2026-03-30 12:00:15 12:00:30");
  // Across midnight, each day's first tick carries its date.
  EXPECT_EQ(Labels(TimeTicks(noon, noon + 36 * Hour + 1, 12 * Hour)),
            "12:00/2026-03-30 00:00/2026-03-31 12:00 00:00/2026-04-01");
}

TEST(TimeScale, OnADayTheClockChangesTheAxisShowsTheLocalTimesAsTheyHappened) {
  const ScopedZone zone(CentralEurope);
  if (!zone.Holds(SpringDay + 2 * Hour, 120))
    GTEST_SKIP() << NotSet;
  // Spring: 02:00 never happened.
  const std::vector<TTimeTick> spring = TimeTicks(SpringDay - Hour, SpringDay + 4 * Hour, Hour);
  EXPECT_EQ(Labels(spring), "00:00/2026-03-29 01:00 03:00 04:00 05:00");
  EXPECT_EQ(spring[2].TimeMs, SpringDay + Hour);
  // Autumn: 02:00 came twice, an hour apart.
  const std::vector<TTimeTick> autumn = TimeTicks(AutumnDay - 2 * Hour, AutumnDay + 3 * Hour, Hour);
  EXPECT_EQ(Labels(autumn), "00:00/2026-10-25 01:00 02:00 02:00 03:00");
  EXPECT_EQ(autumn[3].TimeMs - autumn[2].TimeMs, Hour);
  // Six-hour ticks stay on the clock's 06:00, seven hours after midnight.
  const std::vector<TTimeTick> quarters =
      TimeTicks(AutumnDay - 2 * Hour, AutumnDay + 22 * Hour, 6 * Hour);
  EXPECT_EQ(Labels(quarters), "00:00/2026-10-25 06:00 12:00 18:00");
  EXPECT_EQ(quarters[1].TimeMs - quarters[0].TimeMs, 7 * Hour);
}

// Three quarters of an hour from UTC: whole local hours are not whole UTC
// ones.
TEST(TimeScale, HoursAreTheLocalClocksInAZoneOffByMinutes) {
  const ScopedZone zone("<+0545>-5:45");
  if (!zone.Holds(SpringDay, 345))
    GTEST_SKIP() << NotSet;
  const std::vector<TTimeTick> ticks = TimeTicks(SpringDay, SpringDay + 3 * Hour, Hour);
  EXPECT_EQ(Labels(ticks), "06:00/2026-03-29 07:00 08:00");
  EXPECT_EQ(ticks.front().TimeMs, SpringDay + 15 * Minute);
}
