#pragma once

#include <cstdint>
#include <optional>

// What a trend shows: a span of time over the plot's pixel columns, ending
// at the newest reading while it follows, or where the operator moved it.
// Each column is a whole number of milliseconds wide and fixed in time
// (column k holds the moments from k times its width on), so as time goes
// on the picture moves by whole columns and only the new ones need drawing.
class TTrendView {
public:
  static constexpr std::int64_t MinSpanMs = 60 * 1000;
  static constexpr std::int64_t MaxSpanMs = 7 * 24 * 60 * 60 * 1000LL;
  // A view that follows moves in steps of whole columns at least this long,
  // so that however narrow its columns the picture moves no more than
  // every two seconds; the newest reading lies in its last step.
  static constexpr std::int64_t StepMs = 2000;

  // The span asked for, kept from a minute to 7 days; a view that does not
  // follow keeps its last moment.
  void SetSpan(std::int64_t spanMs);
  std::int64_t SpanMs() const { return Span; }
  // The plot's width in pixel columns, at least one.
  void SetColumns(int columns);
  int Columns() const { return Width; }
  // The time a column covers: the span's share of one, in whole
  // milliseconds, so that the columns never show more than the span.
  std::int64_t ColumnMs() const;
  // The columns a view that follows moves by at once.
  std::int64_t StepColumns() const;

  // The moments of the oldest and the newest reading: a view that follows
  // ends at the newest, and a moved one stays between the two. Without
  // readings, newest is the time the view ends at.
  void SetReadings(std::optional<std::int64_t> oldest, std::int64_t newest);
  bool Following() const { return !Parked; }
  // Back to following the newest reading.
  void Follow() { Parked.reset(); }

  // The columns shown, counted from 1970-01-01 UTC, and the moments they
  // span: from Begin up to before End.
  std::int64_t LastColumn() const;
  std::int64_t FirstColumn() const { return LastColumn() - Width + 1; }
  std::int64_t BeginMs() const { return FirstColumn() * ColumnMs(); }
  std::int64_t EndMs() const { return (LastColumn() + 1) * ColumnMs(); }
  // The column of a moment, as a pixel from the plot's left (may be outside
  // it), and the last moment of the pixel column x: what the mouse there
  // points at.
  std::int64_t XOf(std::int64_t timeMs) const;
  std::int64_t TimeAt(int x) const;

  // The wheel turned by notches (a positive number zooms in) with the mouse
  // over pixel column x: the moment under it stays there. A view that
  // follows keeps following, about its newest reading.
  void Zoom(double notches, int x);
  // A drag by dx pixels: a positive one brings earlier times into view.
  // The view stops following.
  void Pan(int dx);

private:
  // The moment the view ends at.
  std::int64_t Last() const { return Parked.value_or(Newest); }
  void Park(std::int64_t lastMs);

  std::int64_t Span = 10 * 60 * 1000;
  int Width = 1;
  std::optional<std::int64_t> Oldest;
  std::int64_t Newest = 0;
  // Where a view that does not follow ends.
  std::optional<std::int64_t> Parked;
};
