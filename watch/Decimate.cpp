#include "watch/Decimate.h"

#include <algorithm>
#include <array>

namespace {

// Indices into the column's points of what it keeps.
struct TColumn {
  static constexpr std::size_t None = static_cast<std::size_t>(-1);
  std::size_t First = None, Last = None, Low = None, High = None, FirstGap = None, LastGap = None;

  void Take(const TTrendPoints& points, std::size_t i) {
    if (First == None)
      First = i;
    Last = i;
    const TTrendPoint& point = points[i];
    if (IsGap(point)) {
      if (FirstGap == None)
        FirstGap = i;
      LastGap = i;
      return;
    }
    if (Low == None || point.Value < points[Low].Value)
      Low = i;
    if (High == None || point.Value > points[High].Value)
      High = i;
  }

  void EmitInto(const TTrendPoints& points, std::vector<TTrendPoint>& shown) const {
    std::array<std::size_t, 6> kept = {First, Low, High, FirstGap, LastGap, Last};
    std::sort(kept.begin(), kept.end());
    std::size_t previous = None;
    for (const std::size_t i : kept) {
      if (i == None || i == previous)
        continue;
      shown.push_back(points[i]);
      previous = i;
    }
  }
};

} // namespace

std::vector<TTrendPoint> Decimate(const TTrendPoints& points, std::int64_t t0, std::int64_t t1,
                                  int columns) {
  std::vector<TTrendPoint> shown;
  if (columns <= 0 || t1 <= t0)
    return shown;
  const TTrendRange range = PointsIn(points, t0, t1);
  const std::int64_t width = t1 - t0;
  std::int64_t current = -1;
  TColumn column;
  for (auto at = range.Begin; at != range.End; ++at) {
    const std::int64_t index = (at->TimeMs - t0) * columns / width;
    if (index != current) {
      column.EmitInto(points, shown);
      column = {};
      current = index;
    }
    column.Take(points, static_cast<std::size_t>(at - points.begin()));
  }
  column.EmitInto(points, shown);
  return shown;
}
