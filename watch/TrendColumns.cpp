#include "watch/TrendColumns.h"

#include "watch/TimeScale.h"

#include <algorithm>

namespace {

// How many of the newest readings share the newest one's time.
std::size_t NewestAlike(const TTrendPoints& points) {
  std::size_t count = 0;
  for (auto at = points.rbegin(); at != points.rend() && at->TimeMs == points.back().TimeMs; ++at)
    ++count;
  return count;
}

} // namespace

TColumnChange TTrendColumns::Sync(const TTrendPoints& points, std::int64_t first, int count,
                                  std::int64_t columnMs) {
  const std::optional<std::int64_t> front =
      points.empty() ? std::nullopt : std::optional(points.front().TimeMs);
  const std::optional<std::int64_t> back =
      points.empty() ? std::nullopt : std::optional(points.back().TimeMs);
  const std::size_t alike = NewestAlike(points);
  count = std::max(count, 1);
  const std::int64_t last = first + count - 1;
  // Readings summed before and gone since: those before the new oldest one
  // may have been in view, and a newest one earlier than before replaced
  // the later ones.
  const bool gone = (Front && front != Front && (!front || *front > first * columnMs)) ||
                    (Back && (!back || *back < *Back || (*back == *Back && alike < BackAlike)));
  const bool overlap = first - First < count && First - first < count;
  if (gone || columnMs != ColumnMs || static_cast<std::size_t>(count) != Sums.size() || !overlap) {
    Rebuild(points, first, count, columnMs);
    Front = front;
    Back = back;
    BackAlike = alike;
    return {};
  }
  MoveTo(points, first);
  TColumnChange change{false, last + 1};
  if (back && (!Back || *back > *Back || alike > BackAlike)) {
    change.From = std::max(first, FloorDiv(Back.value_or(*front), columnMs));
    if (change.From <= last)
      SumColumns(points, change.From, last);
  }
  Front = front;
  Back = back;
  BackAlike = alike;
  return change;
}

void TTrendColumns::Rebuild(const TTrendPoints& points, std::int64_t first, int count,
                            std::int64_t columnMs) {
  Sums.assign(static_cast<std::size_t>(count), {});
  First = first;
  ColumnMs = columnMs;
  SumColumns(points, first, first + count - 1);
}

void TTrendColumns::MoveTo(const TTrendPoints& points, std::int64_t first) {
  const auto count = static_cast<std::int64_t>(Sums.size());
  const std::int64_t moved = first - First;
  for (std::int64_t i = 0; i < moved; ++i) {
    Sums.pop_front();
    Sums.emplace_back();
  }
  for (std::int64_t i = 0; i < -moved; ++i) {
    Sums.pop_back();
    Sums.emplace_front();
  }
  First = first;
  if (moved > 0)
    SumColumns(points, first + count - moved, first + count - 1);
  else if (moved < 0)
    SumColumns(points, first, first - moved - 1);
}

void TTrendColumns::SumColumns(const TTrendPoints& points, std::int64_t from, std::int64_t to) {
  for (std::int64_t column = from; column <= to; ++column)
    Sums[static_cast<std::size_t>(column - First)] = {};
  const TTrendRange range = PointsIn(points, from * ColumnMs, (to + 1) * ColumnMs);
  for (auto at = range.Begin; at != range.End; ++at) {
    if (!IsGap(*at))
      Sums[static_cast<std::size_t>(FloorDiv(at->TimeMs, ColumnMs) - First)].Add(at->Value);
  }
}

TTrendStats TTrendColumns::Stats() const {
  TTrendSum all;
  for (const TTrendSum& column : Sums)
    all.Add(column);
  return all.Stats();
}
