#include "ui/TrendWindow.h"

#include "tests/support/TempDir.h"
#include "tests/ui/UiTestSupport.h"

#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QImage>
#include <QLineSeries>
#include <QPushButton>
#include <QTest>
#include <QValueAxis>

#include <gtest/gtest.h>

#include <fstream>

#include <unistd.h>

namespace {

std::size_t PointsDrawn(const TTrendWindow& window) {
  std::size_t count = 0;
  for (const QAbstractSeries* series : window.Chart->series())
    count += static_cast<std::size_t>(static_cast<const QLineSeries*>(series)->count());
  return count;
}

} // namespace

// Readings one rounding step apart once gave the value axis a step the
// chart's tick loop never got past.
TEST(TrendWindow, NearlyEqualReadingsDraw) {
  TTrendMemory memory;
  const std::int64_t end = 1'796'734'987'000;
  memory.Add(0, "p.v", end - 1000, 0.3);
  memory.Add(0, "p.v", end, 0.30000000000000004);
  // The test's own time-out, which ends the program: a draw that never ends
  // takes the memory too.
  alarm(20);
  struct TAlarmOff {
    ~TAlarmOff() { alarm(0); }
  } alarmOff;
  TTrendWindow window(memory, {0}, '.');
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  EXPECT_FALSE(window.View->grab().isNull());
  for (const QAbstractAxis* axis : window.Chart->axes(Qt::Vertical)) {
    const auto* values = static_cast<const QValueAxis*>(axis);
    EXPECT_LE((values->max() - values->min()) / values->tickInterval(), 10);
  }
}

TEST(TrendWindow, ShowsADayDecimatedSavesItsImageAndKeepsItsViewWhenARecordingIsBad) {
  ScopedConfigHome home;
  ErrorRecorder errors;
  TTrendMemory memory;
  const std::int64_t end = 1'796'734'987'000;
  for (std::int64_t i = 0; i < 86'400; ++i) {
    memory.Add(0, "p.v", end - (86'399 - i) * 1000, static_cast<double>(i % 10));
    memory.Add(1, "s.p", end - (86'399 - i) * 1000, i == 86'000 ? GapValue() : 25.0);
  }
  TTrendWindow window(memory, {0, 1}, '.');
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  window.SpanBox->setCurrentIndex(3);
  window.Redraw();
  EXPECT_EQ(window.windowTitle(), "Trend p.v, s.p");
  const std::vector<std::string> figures = window.FiguresText();
  ASSERT_EQ(figures.size(), 2u);
  EXPECT_EQ(figures[0].substr(0, 19), "p.v: min 0 / max 9 ");
  EXPECT_EQ(figures[1].substr(0, 23), "s.p: min 25 / max 25 / ");
  // What the columns can show, not every reading; the gap splits s.p.
  const std::size_t drawn = PointsDrawn(window);
  EXPECT_GT(drawn, 100u);
  EXPECT_LE(drawn, 6u * 2 * static_cast<std::size_t>(window.View->width()));
  EXPECT_GE(window.Chart->series().size(), 2u * 3 + 1);

  const auto image = home.Path() / "trend.png";
  ChooseFileWhenAsked([&] { return window.SaveDialog; }, image);
  QTest::mouseClick(window.SaveButton, Qt::LeftButton);
  const QImage saved(QString::fromStdString(image.string()));
  EXPECT_FALSE(saved.isNull());
  EXPECT_EQ(saved.size(), window.View->size() * window.View->devicePixelRatio());
  // The dialog itself refuses a missing folder: the path as if it had not.
  const std::string unwritable = (home.Path() / "no folder" / "trend.png").string();
  Guarded([&] { window.SaveImage(unwritable); });
  ASSERT_EQ(errors.Messages.size(), 1u);
  EXPECT_EQ(errors.Messages[0], "Could not save the image " + unwritable);

  const auto bad = home.Path() / "notes.csv";
  std::ofstream(bad, std::ios::binary) << "name,value\r\n";
  ChooseFileWhenAsked([&] { return window.OpenDialog; }, bad);
  QTest::mouseClick(window.OpenButton, Qt::LeftButton);
  ASSERT_EQ(errors.Messages.size(), 2u);
  EXPECT_EQ(errors.Messages[1], bad.string() + " is not a readings file: line 1: it does not "
                                               "start with the header \"time,...\".");
  EXPECT_EQ(window.windowTitle(), "Trend p.v, s.p");
  EXPECT_EQ(window.FiguresText(), figures);
  EXPECT_EQ(PointsDrawn(window), drawn);

  const auto run = home.Path() / "run.csv";
  std::ofstream(run, std::ios::binary) << "time,o.p\r\n2026-12-08T14:03:07.250+01:00,7\r\n";
  // The first chooser stops at its next tick once its dialog is gone.
  QTest::qWait(100);
  ChooseFileWhenAsked([&] { return window.OpenDialog; }, run);
  QTest::mouseClick(window.OpenButton, Qt::LeftButton);
  EXPECT_EQ(window.windowTitle(), "Trend o.p - run.csv");
  EXPECT_EQ(window.FiguresText(), std::vector<std::string>{"o.p: min 7 / max 7 / mean 7 / last 7"});
  EXPECT_EQ(errors.Messages.size(), 2u) << errors.Messages.back();
}
