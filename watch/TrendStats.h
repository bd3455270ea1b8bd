#pragma once

#include "watch/TrendSeries.h"

#include <cstddef>
#include <cstdint>
#include <optional>

// The numbers among the points with t0 <= time <= t1; gaps count for none.
struct TTrendStats {
  std::size_t Count = 0;
  double Min = 0;
  double Max = 0;
  double Mean = 0;
  double Last = 0;
};
TTrendStats StatsOf(const TTrendPoints& points, std::int64_t t0, std::int64_t t1);

// Numbers summed up as they come, in time order: what the figures are made
// of, for a range or for one pixel column of it.
struct TTrendSum {
  std::size_t Count = 0;
  double Sum = 0;
  double Min = 0;
  double Max = 0;
  double Last = 0;

  void Add(double value);
  // The numbers of `later`, which all came after these.
  void Add(const TTrendSum& later);
  TTrendStats Stats() const;
};

// The reading shown at time: the last point at or before it, none before the
// first point. A gap reads as no value.
std::optional<double> ValueAt(const TTrendPoints& points, std::int64_t time);
