#include "ui/TrendWindow.h"

#include "MonitorRig.h"
#include "tests/support/SimProcess.h"
#include "tests/support/TempDir.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/Trend.h"
#include "ui/TrendPlot.h"

#include <QAction>
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <fstream>

#include <unistd.h>

namespace {

const QColor FirstLineColor(0x1f, 0x77, 0xb4);

// The pixels of a colour in the plotted area of a picture of the plot: the
// lines drawn, not the axes in the same colour beside them.
int PixelsOf(const QImage& image, const QRect& plot, const QColor& color) {
  int count = 0;
  for (int y = plot.top(); y <= plot.bottom(); ++y) {
    for (int x = plot.left(); x <= plot.right(); ++x)
      count += image.pixelColor(x, y) == color ? 1 : 0;
  }
  return count;
}

// Lets the window's deferred drawing run.
void Settle() {
  for (int i = 0; i < 3; ++i)
    QApplication::processEvents();
}

} // namespace

// Readings one rounding step apart once gave the value axis a step no tick
// loop got past.
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
  EXPECT_EQ(window.View->FullDraws(), 1);
  EXPECT_LE(window.View->ScaleOf(0).Ticks.size(), 10u);
}

// A poll round draws only its own columns until the scale must change; the
// picture so drawn is the one drawn whole.
TEST(TrendWindow, ADayIsDrawnByColumnsSavedAndKeptWhenARecordingIsBad) {
  ScopedConfigHome home;
  ErrorRecorder errors;
  TTrendMemory memory;
  std::int64_t end = 1'796'734'987'000;
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

  TTrendPlot& plot = *window.View;
  const int whole = plot.FullDraws();
  const std::int64_t columns = plot.ColumnsDrawn();
  const std::int64_t columnMs = plot.Range().ColumnMs();
  for (int round = 1; round <= 3; ++round) {
    end += columnMs;
    memory.Add(0, "p.v", end, 3.0 * round);
    memory.Add(1, "s.p", end, 25.0);
    window.Refresh();
    Settle();
  }
  EXPECT_EQ(plot.FullDraws(), whole);
  EXPECT_GE(plot.ColumnsDrawn() - columns, 3);
  EXPECT_LE(plot.ColumnsDrawn() - columns, 6);
  EXPECT_EQ(window.FiguresText()[0].substr(0, 19), "p.v: min 0 / max 9 ");
  EXPECT_NE(window.FiguresText()[0], figures[0]) << "the last reading shows";
  const QImage byColumns = plot.grab().toImage();
  window.Redraw();
  EXPECT_EQ(plot.grab().toImage(), byColumns);
  // A panel added to the memory moves the others' series; a repaint before
  // the next round reads them where they are now.
  memory.Add(7, "x", end, 1.0);
  window.resize(window.size() + QSize(10, 0));
  Settle();
  // A reading off the scale draws it whole.
  const int draws = plot.FullDraws();
  memory.Add(0, "p.v", end + 1000, 1000.0);
  window.Refresh();
  Settle();
  EXPECT_EQ(plot.FullDraws(), draws + 1);

  const auto image = home.Path() / "trend.png";
  ChooseFileWhenAsked([&] { return window.SaveDialog; }, image);
  QTest::mouseClick(window.SaveButton, Qt::LeftButton);
  const QImage saved(QString::fromStdString(image.string()));
  EXPECT_EQ(saved.size(), plot.size() * plot.devicePixelRatio());
  // The dialog itself refuses a missing folder: the path as if it had not.
  const std::string unwritable = (home.Path() / "no folder" / "trend.png").string();
  Guarded([&] { window.SaveImage(unwritable); });
  ASSERT_EQ(errors.Messages.size(), 1u);
  EXPECT_EQ(errors.Messages[0], "Could not save the image " + unwritable);

  const auto bad = home.Path() / "notes.csv";
  std::ofstream(bad, std::ios::binary) << "name,value\r\n";
  const std::vector<std::string> shown = window.FiguresText();
  const int before = plot.FullDraws();
  ChooseFileWhenAsked([&] { return window.OpenDialog; }, bad);
  QTest::mouseClick(window.OpenButton, Qt::LeftButton);
  ASSERT_EQ(errors.Messages.size(), 2u);
  EXPECT_EQ(errors.Messages[1], bad.string() + " is not a readings file: line 1: it does not "
                                               "start with the header \"time,...\".");
  EXPECT_EQ(window.windowTitle(), "Trend p.v, s.p");
  EXPECT_EQ(window.FiguresText(), shown);
  EXPECT_EQ(plot.FullDraws(), before);

  const auto run = home.Path() / "run.csv";
  std::ofstream(run, std::ios::binary) << "time,o.p\r\n2026-12-08T14:03:07.250+01:00,7\r\n";
  // The first chooser stops at its next tick once its dialog is gone.
  QTest::qWait(100);
  ChooseFileWhenAsked([&] { return window.OpenDialog; }, run);
  QTest::mouseClick(window.OpenButton, Qt::LeftButton);
  EXPECT_EQ(window.windowTitle(), "Trend o.p - run.csv");
  EXPECT_EQ(window.FiguresText(), std::vector<std::string>{"o.p: min 7 / max 7 / mean 7 / last 7"});
  EXPECT_EQ(errors.Messages.size(), 2u) << errors.Messages.back();
  // The chooser stops at its next tick, while its window is there.
  QTest::qWait(100);
}

// The wheel zooms, a drag goes back in time, Follow comes back; the mouse
// reads the time and the value under it.
TEST(TrendWindow, TheOperatorBrowsesInTime) {
  TTrendMemory memory;
  const std::int64_t end = 1'796'734'987'000;
  for (std::int64_t i = 0; i < 7200; ++i)
    memory.Add(0, "p.v", end - (7199 - i) * 1000, i < 3600 ? 1.0 : 2.0);
  TTrendWindow window(memory, {0}, '.');
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  Settle();
  TTrendPlot& plot = *window.View;
  const QPoint middle = plot.PlotRect().center();

  QWheelEvent wheel(middle, plot.mapToGlobal(middle), {}, {0, 120}, Qt::NoButton, Qt::NoModifier,
                    Qt::NoScrollPhase, false);
  QApplication::sendEvent(&plot, &wheel);
  EXPECT_EQ(window.SpanBox->currentIndex(), -1);
  EXPECT_EQ(window.SpanBox->placeholderText(), "8 min");
  EXPECT_FALSE(window.FollowButton->isEnabled()) << "zoomed, it follows still";

  // Dragged right across the plot and a little more: an hour back and
  // more, where the readings are 1.
  window.SpanBox->setCurrentIndex(1);
  const QRect area = plot.PlotRect();
  const auto drag = [&](QPoint from, QPoint to) {
    QTest::mousePress(&plot, Qt::LeftButton, {}, from);
    QTest::mouseMove(&plot, (from + to) / 2);
    QTest::mouseMove(&plot, to);
    QTest::mouseRelease(&plot, Qt::LeftButton, {}, to);
  };
  drag({area.left(), middle.y()}, {area.right(), middle.y()});
  drag(middle, middle + QPoint(20, 0));
  EXPECT_TRUE(window.FollowButton->isEnabled());
  EXPECT_EQ(window.FiguresText()[0], "p.v: min 1 / max 1 / mean 1 / last 1");
  QTest::mouseMove(&plot, middle);
  EXPECT_TRUE(window.MouseLabel->isVisible());
  EXPECT_TRUE(window.MouseLabel->text().endsWith(QStringLiteral("\np.v: 1")))
      << window.MouseLabel->text().toStdString();

  QTest::mouseClick(window.FollowButton, Qt::LeftButton);
  EXPECT_FALSE(window.FollowButton->isEnabled());
  EXPECT_EQ(window.FiguresText()[0], "p.v: min 2 / max 2 / mean 2 / last 2");
}

// The monitor's own polls of the instrument, in the trend it opens and in
// the picture saved of it.
TEST(TrendWindow, ATrendOfRealPollsDrawsAndSavesThePanelsLine) {
  ScopedConfigHome home;
  SimProcess sim({"--steady"});
  TMonitorRig rig;
  TK4410R_MonitorForm& monitor = *rig.Panel;
  rig.Form1->Line.Open(sim.PortName(), sim.DevicePath(), false);
  for (int round = 0; round < 3; ++round)
    monitor.PollPanels();
  monitor.TrendAction->trigger();
  ASSERT_EQ(monitor.Trends->Windows().size(), 1u);
  auto& trend = *static_cast<TTrendWindow*>(monitor.Trends->Windows().front());
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&trend));
  Settle();
  EXPECT_EQ(trend.FiguresText(),
            std::vector<std::string>{"p.v: min 23.5 / max 23.5 / mean 23.5 / last 23.5"});

  // A minute wide, the three readings' second is a line of some pixels.
  trend.View->Range().SetSpan(60'000);
  trend.Redraw();
  const auto image = home.Path() / "polls.png";
  ChooseFileWhenAsked([&] { return trend.SaveDialog; }, image);
  QTest::mouseClick(trend.SaveButton, Qt::LeftButton);
  const QImage saved(QString::fromStdString(image.string()));
  ASSERT_FALSE(saved.isNull());
  EXPECT_GE(PixelsOf(saved, trend.View->PlotRect(), FirstLineColor), 8);
  EXPECT_TRUE(rig.Errors.empty()) << rig.Errors.front();
  QTest::qWait(100);
}
