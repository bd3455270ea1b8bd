#include "watch/TrendView.h"

#include "watch/TimeScale.h"

#include <algorithm>
#include <cmath>

namespace {

// Each notch of the wheel narrows the span by this factor.
constexpr double ZoomPerNotch = 1.25;

} // namespace

void TTrendView::SetSpan(std::int64_t spanMs) {
  Span = std::clamp(spanMs, MinSpanMs, MaxSpanMs);
}

void TTrendView::SetColumns(int columns) {
  Width = std::max(columns, 1);
}

std::int64_t TTrendView::ColumnMs() const {
  return std::max<std::int64_t>(Span / Width, 1);
}

void TTrendView::SetReadings(std::optional<std::int64_t> oldest, std::int64_t newest) {
  Oldest = oldest;
  Newest = newest;
  if (Parked)
    Park(*Parked);
}

std::int64_t TTrendView::StepColumns() const {
  const std::int64_t column = ColumnMs();
  return std::min<std::int64_t>((StepMs + column - 1) / column, Width);
}

std::int64_t TTrendView::LastColumn() const {
  const std::int64_t last = FloorDiv(Last(), ColumnMs());
  if (Parked)
    return last;
  const std::int64_t step = StepColumns();
  return (FloorDiv(last, step) + 1) * step - 1;
}

std::int64_t TTrendView::XOf(std::int64_t timeMs) const {
  return FloorDiv(timeMs, ColumnMs()) - FirstColumn();
}

std::int64_t TTrendView::TimeAt(int x) const {
  return (FirstColumn() + x + 1) * ColumnMs() - 1;
}

void TTrendView::Park(std::int64_t lastMs) {
  // Never beyond the newest reading, nor before the oldest.
  Parked = std::min(lastMs, Newest);
  if (Oldest)
    Parked = std::max(*Parked, std::min(*Oldest, Newest));
}

void TTrendView::Zoom(double notches, int x) {
  const double factor = std::pow(ZoomPerNotch, -notches);
  const double span = std::clamp(static_cast<double>(Span) * factor, static_cast<double>(MinSpanMs),
                                 static_cast<double>(MaxSpanMs));
  if (!Parked) {
    SetSpan(std::llround(span));
    return;
  }
  // The moment under the mouse keeps its pixel column.
  const std::int64_t pointed = TimeAt(x);
  SetSpan(std::llround(span));
  const std::int64_t column = ColumnMs();
  Park((FloorDiv(pointed, column) + (Width - 1 - x) + 1) * column - 1);
}

void TTrendView::Pan(int dx) {
  Park((LastColumn() + 1 - dx) * ColumnMs() - 1);
}
