#include "watch/TrendSeries.h"
#include "watch/TrendStats.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

constexpr std::int64_t Second = 1000;
constexpr std::int64_t Day = 24 * 3600 * Second;

} // namespace

TEST(TrendSeries, KeepsTheLastDayAndNoMoreThanItsCap) {
  TTrendSeries series("p.v");
  const std::int64_t start = 1'800'000'000'000;
  for (std::int64_t t = 0; t <= Day + 3600 * Second; t += Second)
    series.Add(start + t, 1.0);
  const TTrendPoints& points = series.Points();
  EXPECT_EQ(points.back().TimeMs - points.front().TimeMs, Day);
  EXPECT_EQ(points.size(), static_cast<std::size_t>(Day / Second + 1));

  // Readings far faster than a second are bounded by count.
  for (std::size_t i = 0; i < TTrendSeries::MaxPoints + 10; ++i)
    series.Add(start + 2 * Day + static_cast<std::int64_t>(i), 2.0);
  EXPECT_EQ(points.size(), TTrendSeries::MaxPoints);
  EXPECT_EQ(points.back().TimeMs, start + 2 * Day + TTrendSeries::MaxPoints + 9);
  EXPECT_LE(series.Bytes(), TTrendSeries::MaxPoints * sizeof(TTrendPoint));
}

TEST(TrendSeries, AClockSetBackDropsTheLaterReadingsAndInfinityIsAGap) {
  TTrendSeries series;
  series.Add(1000, 1);
  series.Add(2000, 2);
  series.Add(3000, 3);
  series.Add(1500, HUGE_VAL);
  ASSERT_EQ(series.Points().size(), 2u);
  EXPECT_EQ(series.Points().back().TimeMs, 1500);
  EXPECT_TRUE(IsGap(series.Points().back()));
}

TEST(TrendMemory, AChangedCommandStartsThePanelsSeriesAnew) {
  TTrendMemory memory;
  memory.Add(0, "p.v", 1000, 1);
  memory.Add(2, "s.p", 1000, 25);
  memory.Add(0, "p.v", 2000, 2);
  memory.Add(2, "o.p", 2000, 7);
  EXPECT_EQ(memory.Panels(), 3u);
  EXPECT_EQ(memory.Of(0).Points().size(), 2u);
  EXPECT_EQ(memory.Of(2).Label(), "o.p");
  ASSERT_EQ(memory.Of(2).Points().size(), 1u);
  EXPECT_EQ(memory.Of(2).Points().front().Value, 7);
  EXPECT_TRUE(memory.Of(1).Points().empty());
  EXPECT_EQ(memory.Bytes(), 3 * sizeof(TTrendPoint));
  memory.KeepPanels(1);
  EXPECT_TRUE(memory.Of(2).Points().empty());
  EXPECT_EQ(memory.Of(0).Label(), "p.v");
}

TEST(TrendStats, CountsTheNumbersOfTheClosedRangeAndReadsTheValueAtATime) {
  TTrendPoints points = {{0, 9}, {10, 2}, {20, GapValue()}, {30, 4}, {40, 6}, {50, -1}};
  const TTrendStats stats = StatsOf(points, 10, 40);
  EXPECT_EQ(stats.Count, 3u);
  EXPECT_EQ(stats.Min, 2);
  EXPECT_EQ(stats.Max, 6);
  EXPECT_EQ(stats.Mean, 4);
  EXPECT_EQ(stats.Last, 6);
  EXPECT_EQ(StatsOf(points, 21, 29).Count, 0u);

  EXPECT_FALSE(ValueAt(points, -1));
  EXPECT_EQ(ValueAt(points, 15), 2);
  EXPECT_FALSE(ValueAt(points, 25));
  EXPECT_EQ(ValueAt(points, 30), 4);
  EXPECT_EQ(ValueAt(points, 99), -1);
}
