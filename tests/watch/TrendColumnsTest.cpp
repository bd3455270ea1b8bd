#include "watch/TrendColumns.h"
#include "watch/TimeScale.h"

#include <gtest/gtest.h>

#include <map>
#include <random>

namespace {

// Each column's readings, straight from the points.
std::map<std::int64_t, std::vector<double>> ByColumn(const TTrendPoints& points,
                                                     std::int64_t columnMs) {
  std::map<std::int64_t, std::vector<double>> columns;
  for (const TTrendPoint& point : points)
    columns[FloorDiv(point.TimeMs, columnMs)].push_back(IsGap(point) ? -1e9 : point.Value);
  return columns;
}

} // namespace

// Readings come, go and are replaced while the view moves either way and
// changes its width: the figures are always those of every reading shown,
// and every column whose readings changed is among those said to have.
TEST(TrendColumns, FiguresAndChangesMatchABruteForceReferenceAsTheViewMoves) {
  std::mt19937 random(20261209);
  TTrendColumns columns;
  TTrendSeries series("p.v");
  std::int64_t columnMs = 700;
  int count = 40;
  std::int64_t first = -3;
  std::int64_t t = -2000;
  std::map<std::int64_t, std::vector<double>> before;
  for (int step = 0; step < 3000; ++step) {
    const int kind = std::uniform_int_distribution<int>(0, 99)(random);
    if (kind < 60) {
      t += std::uniform_int_distribution<int>(0, 900)(random);
      series.Add(t, kind < 6 ? GapValue() : std::uniform_int_distribution<int>(-40, 40)(random));
    } else if (kind < 62) {
      // The clock set back.
      t -= std::uniform_int_distribution<int>(1, 5000)(random);
      series.Add(t, 1.5);
    } else if (kind < 63) {
      series = TTrendSeries("p.v");
    } else if (kind < 66) {
      columnMs = std::uniform_int_distribution<int>(100, 2000)(random);
      count = std::uniform_int_distribution<int>(1, 60)(random);
    }
    if (kind % 3 == 0)
      first = FloorDiv(t, columnMs) - count + 1 + std::uniform_int_distribution<int>(-3, 1)(random);
    else if (kind % 7 == 0)
      first += std::uniform_int_distribution<int>(-50, 50)(random);

    const TColumnChange change = columns.Sync(series.Points(), first, count, columnMs);
    const TTrendStats stats = columns.Stats();
    const TTrendStats expected =
        StatsOf(series.Points(), first * columnMs, (first + count) * columnMs - 1);
    ASSERT_EQ(stats.Count, expected.Count) << "step " << step;
    if (expected.Count > 0) {
      ASSERT_EQ(stats.Min, expected.Min) << "step " << step;
      ASSERT_EQ(stats.Max, expected.Max) << "step " << step;
      ASSERT_EQ(stats.Last, expected.Last) << "step " << step;
      ASSERT_NEAR(stats.Mean, expected.Mean, 1e-9) << "step " << step;
    }
    const std::map<std::int64_t, std::vector<double>> now = ByColumn(series.Points(), columnMs);
    if (!change.All) {
      for (std::int64_t column = first; column < change.From && column < first + count; ++column) {
        const auto was = before.find(column);
        const auto is = now.find(column);
        ASSERT_EQ(was == before.end() ? std::vector<double>{} : was->second,
                  is == now.end() ? std::vector<double>{} : is->second)
            << "step " << step << " column " << column << " changed before " << change.From;
      }
    }
    before = now;
  }
}
