#include "watch/Decimate.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <set>

namespace {

bool SamePoint(const TTrendPoint& a, const TTrendPoint& b) {
  return a.TimeMs == b.TimeMs && (a.Value == b.Value || (IsGap(a) && IsGap(b)));
}

// Column by column, straight from the definition: each point's column, then
// per column the indices of what it keeps.
std::vector<TTrendPoint> BruteForce(const TTrendPoints& points, std::int64_t t0, std::int64_t t1,
                                    int columns) {
  std::vector<TTrendPoint> shown;
  for (int column = 0; column < columns; ++column) {
    std::vector<std::size_t> in;
    for (std::size_t i = 0; i < points.size(); ++i) {
      const std::int64_t t = points[i].TimeMs;
      if (t >= t0 && t < t1 && (t - t0) * columns / (t1 - t0) == column)
        in.push_back(i);
    }
    if (in.empty())
      continue;
    std::set<std::size_t> kept = {in.front(), in.back()};
    std::vector<std::size_t> gaps, numbers;
    for (const std::size_t i : in)
      (IsGap(points[i]) ? gaps : numbers).push_back(i);
    if (!gaps.empty())
      kept.insert({gaps.front(), gaps.back()});
    if (!numbers.empty()) {
      const auto byValue = [&](std::size_t a, std::size_t b) {
        return points[a].Value < points[b].Value;
      };
      kept.insert(*std::min_element(numbers.begin(), numbers.end(), byValue));
      kept.insert(*std::max_element(numbers.begin(), numbers.end(), byValue));
    }
    for (const std::size_t i : kept)
      shown.push_back(points[i]);
  }
  return shown;
}

// Readings at uneven steps, with pauses long enough to leave columns empty,
// repeated times and gaps.
TTrendPoints RandomPoints(std::mt19937& random) {
  TTrendPoints points;
  std::int64_t t = std::uniform_int_distribution<std::int64_t>(0, 5000)(random);
  const int count = std::uniform_int_distribution<int>(0, 400)(random);
  for (int i = 0; i < count; ++i) {
    const int kind = std::uniform_int_distribution<int>(0, 19)(random);
    t += kind == 0 ? 20000 : kind == 1 ? 0 : std::uniform_int_distribution<int>(1, 1500)(random);
    const double value = kind == 2 || kind == 3
                             ? GapValue()
                             : std::uniform_int_distribution<int>(-50, 50)(random) / 4.0;
    points.push_back({t, value});
  }
  return points;
}

} // namespace

TEST(Decimate, KeepsWhatABruteForceReferenceKeepsOnRandomReadings) {
  std::mt19937 random(20261208);
  for (int round = 0; round < 400; ++round) {
    const TTrendPoints points = RandomPoints(random);
    const std::int64_t end = points.empty() ? 1000 : points.back().TimeMs;
    const std::int64_t t0 = std::uniform_int_distribution<std::int64_t>(-2000, end)(random);
    const std::int64_t t1 = t0 + std::uniform_int_distribution<std::int64_t>(1, end + 4000)(random);
    const int columns = std::uniform_int_distribution<int>(1, 60)(random);

    const std::vector<TTrendPoint> shown = Decimate(points, t0, t1, columns);
    const std::vector<TTrendPoint> expected = BruteForce(points, t0, t1, columns);
    ASSERT_EQ(shown.size(), expected.size()) << "round " << round;
    for (std::size_t i = 0; i < shown.size(); ++i)
      ASSERT_TRUE(SamePoint(shown[i], expected[i])) << "round " << round << " point " << i;
    ASSERT_LE(shown.size(), 6u * columns);
  }
}

TEST(Decimate, AnAlternatingLineKeepsItsExtremesInOrderAndItsGaps) {
  TTrendPoints points;
  for (int i = 0; i < 1000; ++i)
    points.push_back({i, i % 2 == 0 ? 1.0 - i : 1.0 + i});
  points[500].Value = GapValue();
  // Ten readings a column.
  const std::vector<TTrendPoint> shown = Decimate(points, 0, 1000, 100);
  EXPECT_TRUE(SamePoint(shown.front(), points.front()));
  EXPECT_TRUE(SamePoint(shown.back(), points.back()));
  for (std::size_t i = 1; i < shown.size(); ++i)
    EXPECT_LT(shown[i - 1].TimeMs, shown[i].TimeMs);
  // Column 5: readings 50..59, lowest at 58, highest at 59, first and last.
  const auto column5 =
      std::find_if(shown.begin(), shown.end(), [](const TTrendPoint& p) { return p.TimeMs >= 50; });
  ASSERT_GE(shown.end() - column5, 3);
  EXPECT_EQ(column5[0].TimeMs, 50);
  EXPECT_EQ(column5[1].TimeMs, 58);
  EXPECT_EQ(column5[2].TimeMs, 59);
  EXPECT_EQ(std::count_if(shown.begin(), shown.end(), IsGap), 1);
  EXPECT_TRUE(Decimate(points, 0, 1000, 0).empty());
  EXPECT_TRUE(Decimate(points, 1000, 1000, 10).empty());
}
