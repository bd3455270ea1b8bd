#pragma once

#include "watch/TrendSeries.h"

#include <cstdint>
#include <vector>

// What `columns` pixel columns can show of the points with t0 <= time < t1:
// per column its first and last point, its lowest and highest value and its
// first and last gap, in the order they occurred, so the line drawn through
// them keeps every column's extent and breaks wherever a column holds a gap.
// At most six points a column, whatever the number of readings.
std::vector<TTrendPoint> Decimate(const TTrendPoints& points, std::int64_t t0, std::int64_t t1,
                                  int columns);
