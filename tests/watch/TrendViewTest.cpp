#include "watch/TrendView.h"

#include <gtest/gtest.h>

namespace {

constexpr std::int64_t Minute = 60 * 1000;
constexpr std::int64_t Newest = 1'796'734'987'250;

TTrendView ViewOf(std::int64_t spanMs, int columns) {
  TTrendView view;
  view.SetSpan(spanMs);
  view.SetColumns(columns);
  view.SetReadings(Newest - 24 * 60 * Minute, Newest);
  return view;
}

} // namespace

TEST(TrendView, ColumnsAreWholeMillisecondsFixedInTimeAndMoveInSteps) {
  TTrendView view = ViewOf(10 * Minute, 1000);
  EXPECT_EQ(view.ColumnMs(), 600);
  EXPECT_EQ(view.StepColumns(), 4);
  EXPECT_TRUE(view.BeginMs() <= Newest - 10 * Minute + 4 * 600 && Newest < view.EndMs());
  EXPECT_GE(view.XOf(Newest), 996);
  EXPECT_EQ(view.TimeAt(999), view.EndMs() - 1);
  // A span that does not divide: never more than asked.
  view.SetColumns(7);
  EXPECT_LE(view.ColumnMs() * 7, view.SpanMs());
  // Readings a step later move the view by exactly a step, at once.
  view = ViewOf(10 * Minute, 1000);
  const std::int64_t first = view.FirstColumn();
  const std::int64_t lastStep = view.EndMs() - Newest;
  view.SetReadings(Newest - 24 * 60 * Minute, Newest + lastStep - 1);
  EXPECT_EQ(view.FirstColumn(), first);
  view.SetReadings(Newest - 24 * 60 * Minute, Newest + lastStep);
  EXPECT_EQ(view.FirstColumn(), first + 4);
  // A day over 1000 columns moves column by column.
  EXPECT_EQ(ViewOf(24 * 60 * Minute, 1000).StepColumns(), 1);
}

TEST(TrendView, TheWheelZoomsAboutTheMouseFromAMinuteToAWeek) {
  TTrendView view = ViewOf(60 * Minute, 1000);
  view.Zoom(40, 500);
  EXPECT_EQ(view.SpanMs(), TTrendView::MinSpanMs);
  view.Zoom(-80, 500);
  EXPECT_EQ(view.SpanMs(), TTrendView::MaxSpanMs);

  // Following, it stays at the newest reading.
  view = ViewOf(60 * Minute, 1000);
  view.Zoom(3, 200);
  EXPECT_TRUE(view.Following());
  EXPECT_GT(view.XOf(Newest), 999 - view.StepColumns());
  EXPECT_LT(view.SpanMs(), 60 * Minute);

  // Moved back, the moment under the mouse keeps its column either way.
  view.Pan(400);
  for (const double notches : {2.0, -5.0}) {
    const std::int64_t pointed = view.TimeAt(900);
    view.Zoom(notches, 900);
    EXPECT_EQ(view.XOf(pointed), 900) << notches;
  }
}

TEST(TrendView, ADragStopsFollowingAndStaysWithinTheReadings) {
  TTrendView view = ViewOf(10 * Minute, 1000);
  const std::int64_t x = view.XOf(Newest);
  view.Pan(100);
  EXPECT_FALSE(view.Following());
  EXPECT_EQ(view.XOf(Newest), x + 100);
  // New readings leave a moved view where it is.
  const std::int64_t first = view.FirstColumn();
  view.SetReadings(Newest - 24 * 60 * Minute, Newest + 60'000);
  EXPECT_EQ(view.FirstColumn(), first);
  // Neither beyond the newest reading nor before the oldest.
  view.Pan(-100'000);
  EXPECT_EQ(view.LastColumn(), (Newest + 60'000) / 600);
  view.Pan(1'000'000);
  EXPECT_EQ(view.LastColumn(), (Newest - 24 * 60 * Minute) / 600);
  view.Follow();
  EXPECT_TRUE(view.Following());
  EXPECT_GE(view.XOf(Newest + 60'000), 996);
}
