#include "watch/TrendStats.h"

#include <algorithm>

TTrendStats StatsOf(const TTrendPoints& points, std::int64_t t0, std::int64_t t1) {
  TTrendStats stats;
  if (t1 < t0)
    return stats;
  const TTrendRange range = PointsIn(points, t0, t1 + 1);
  double sum = 0;
  for (auto at = range.Begin; at != range.End; ++at) {
    if (IsGap(*at))
      continue;
    const double value = at->Value;
    stats.Min = stats.Count == 0 ? value : std::min(stats.Min, value);
    stats.Max = stats.Count == 0 ? value : std::max(stats.Max, value);
    sum += value;
    stats.Last = value;
    ++stats.Count;
  }
  if (stats.Count > 0)
    stats.Mean = sum / static_cast<double>(stats.Count);
  return stats;
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
