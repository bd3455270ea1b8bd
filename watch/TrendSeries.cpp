#include "watch/TrendSeries.h"

#include <algorithm>
#include <cmath>
#include <limits>

bool IsGap(const TTrendPoint& point) {
  return !std::isfinite(point.Value);
}

double GapValue() {
  return std::numeric_limits<double>::quiet_NaN();
}

void TTrendSeries::Add(std::int64_t timeMs, double value) {
  while (!Kept.empty() && Kept.back().TimeMs > timeMs)
    Kept.pop_back();
  Kept.push_back({timeMs, std::isfinite(value) ? value : GapValue()});
  while (Kept.front().TimeMs < timeMs - KeptMs || Kept.size() > MaxPoints)
    Kept.pop_front();
}

void TTrendMemory::Add(std::size_t panel, std::int64_t timeMs, const TReading& reading) {
  Add(panel, reading.Command, timeMs, reading.Number().value_or(GapValue()));
}

void TTrendMemory::Add(std::size_t panel, const std::string& command, std::int64_t timeMs,
                       double value) {
  if (panel >= Series.size())
    Series.resize(panel + 1);
  if (Series[panel].Label() != command)
    Series[panel] = TTrendSeries(command);
  Series[panel].Add(timeMs, value);
}

void TTrendMemory::KeepPanels(std::size_t count) {
  if (count < Series.size())
    Series.resize(count);
}

const TTrendSeries& TTrendMemory::Of(std::size_t panel) const {
  return panel < Series.size() ? Series[panel] : None;
}

std::size_t TTrendMemory::Bytes() const {
  std::size_t bytes = 0;
  for (const TTrendSeries& series : Series)
    bytes += series.Bytes();
  return bytes;
}

TTrendRange PointsIn(const TTrendPoints& points, std::int64_t t0, std::int64_t t1) {
  const auto before = [](const TTrendPoint& point, std::int64_t t) { return point.TimeMs < t; };
  const auto begin = std::lower_bound(points.begin(), points.end(), t0, before);
  return {begin, std::lower_bound(begin, points.end(), std::max(t0, t1), before)};
}
