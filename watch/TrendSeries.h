#pragma once

#include "line/Reading.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <utility>
#include <vector>

// One reading: milliseconds since 1970-01-01 UTC, and the value; a value that
// is not a number (silence, text) is a gap in the line.
struct TTrendPoint {
  std::int64_t TimeMs = 0;
  double Value = 0;
};

// Points in time order.
using TTrendPoints = std::deque<TTrendPoint>;

bool IsGap(const TTrendPoint& point);

// The value a gap is kept with.
double GapValue();

// A panel's readings of the last day, in time order. Bounded by time and by
// count, so a window left open for days holds no more than one day at about
// one reading a second.
class TTrendSeries {
public:
  static constexpr std::int64_t KeptMs = 24LL * 60 * 60 * 1000;
  // A day at one reading a second, with room for rounds that come faster.
  static constexpr std::size_t MaxPoints = 100'000;

  explicit TTrendSeries(std::string label = {}) : Name(std::move(label)) {}

  const std::string& Label() const { return Name; }
  const TTrendPoints& Points() const { return Kept; }

  // A reading earlier than the last one (the clock was set back) drops the
  // later ones, so the points stay in time order.
  void Add(std::int64_t timeMs, double value);
  void Clear() { Kept.clear(); }

  // The memory the points take.
  std::size_t Bytes() const { return Kept.size() * sizeof(TTrendPoint); }

private:
  std::string Name;
  TTrendPoints Kept;
};

// One series per panel of the monitor, each labelled by the panel's command.
class TTrendMemory {
public:
  // A reading of panel, kept at timeMs (its poll round's start): its number,
  // or a gap. A command other than the series' label starts the panel's
  // series anew.
  void Add(std::size_t panel, std::int64_t timeMs, const TReading& reading);
  // The same of a value labelled command; a value that is not finite is a gap.
  void Add(std::size_t panel, const std::string& command, std::int64_t timeMs, double value);
  // Forgets the series of panels from count on (the panels were removed).
  void KeepPanels(std::size_t count);

  std::size_t Panels() const { return Series.size(); }
  // The panel's series; an empty one when the panel has none.
  const TTrendSeries& Of(std::size_t panel) const;
  std::size_t Bytes() const;

private:
  std::vector<TTrendSeries> Series;
  TTrendSeries None;
};

// The points with t0 <= time < t1.
struct TTrendRange {
  TTrendPoints::const_iterator Begin;
  TTrendPoints::const_iterator End;
};
TTrendRange PointsIn(const TTrendPoints& points, std::int64_t t0, std::int64_t t1);
