#include "watch/TrendStats.h"

#include <algorithm>

TTrendStats StatsOf(const TTrendPoints& points, std::int64_t t0, std::int64_t t1) {
  if (t1 < t0)
    return {};
  const TTrendRange range = PointsIn(points, t0, t1 + 1);
  TTrendSum sum;
  for (auto at = range.Begin; at != range.End; ++at) {
    if (!IsGap(*at))
      sum.Add(at->Value);
  }
  return sum.Stats();
}

void TTrendSum::Add(double value) {
  Add(TTrendSum{1, value, value, value, value});
}

void TTrendSum::Add(const TTrendSum& later) {
  if (later.Count == 0)
    return;
  Min = Count == 0 ? later.Min : std::min(Min, later.Min);
  Max = Count == 0 ? later.Max : std::max(Max, later.Max);
  Sum += later.Sum;
  Last = later.Last;
  Count += later.Count;
}

TTrendStats TTrendSum::Stats() const {
  if (Count == 0)
    return {};
  return {Count, Min, Max, Sum / static_cast<double>(Count), Last};
}

std::optional<double> ValueAt(const TTrendPoints& points, std::int64_t time) {
  const TTrendRange before = PointsIn(points, points.empty() ? 0 : points.front().TimeMs, time + 1);
  if (before.Begin == before.End)
    return std::nullopt;
  const TTrendPoint& point = *(before.End - 1);
  if (IsGap(point))
    return std::nullopt;
  return point.Value;
}
