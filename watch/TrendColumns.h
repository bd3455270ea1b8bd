#pragma once

#include "watch/TrendSeries.h"
#include "watch/TrendStats.h"

#include <cstdint>
#include <deque>
#include <optional>

// What changed of a line since its columns were last brought up to date.
struct TColumnChange {
  // Every column shown is new: the line is drawn anew.
  bool All = true;
  // Otherwise the columns from this one on hold new readings; beyond the
  // last column shown, none do.
  std::int64_t From = 0;
};

// A line's readings summed up per pixel column of a view: the figures of
// what is shown (lowest, highest, mean, last) at the cost of the columns,
// not of every reading, and which columns changed since the last time.
class TTrendColumns {
public:
  // Brings the columns from `first` on, `count` of them, each `columnMs`
  // wide, up to date with the points. Columns that come into view are summed
  // anew, those kept are summed again only where readings came after the
  // newest summed; every column is, when readings summed before are gone
  // (a series begun anew, the clock set back) or the columns' width or
  // number changed.
  TColumnChange Sync(const TTrendPoints& points, std::int64_t first, int count,
                     std::int64_t columnMs);

  // The numbers in the columns; gaps count for none.
  TTrendStats Stats() const;

private:
  // Sums the columns from `from` to `to`, both among those kept.
  void SumColumns(const TTrendPoints& points, std::int64_t from, std::int64_t to);
  void Rebuild(const TTrendPoints& points, std::int64_t first, int count, std::int64_t columnMs);
  void MoveTo(const TTrendPoints& points, std::int64_t first);

  std::deque<TTrendSum> Sums;
  std::int64_t First = 0;
  std::int64_t ColumnMs = 0;
  // The oldest and the newest reading summed, and how many readings had
  // the newest one's time.
  std::optional<std::int64_t> Front;
  std::optional<std::int64_t> Back;
  std::size_t BackAlike = 0;
};
