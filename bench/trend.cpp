// The trend window's figures on a day of readings at one a second, on the
// offscreen platform: opening the window, a redraw 1,000 pixels wide, the
// memory of twelve panels' days, and the processor time a poll round costs
// the memory and an open trend. Prints one figure a line.
#include "ui/TrendWindow.h"

#include <QApplication>
#include <QChartView>
#include <QComboBox>
#include <QElapsedTimer>
#include <QTest>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <string>

namespace {

constexpr std::int64_t DayPoints = 86'400;
constexpr std::int64_t Start = 1'796'734'987'000;
// A silence every ten minutes: the most stretches a line can be drawn in.
std::int64_t GapEvery = 600;

double CpuMs() {
  timespec now{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

long ResidentKb() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmRSS:", 0) == 0)
      return std::atol(line.c_str() + 6);
  }
  return 0;
}

double Reading(std::int64_t i, int panel) {
  return 20.0 + panel + static_cast<double>((i * 7919 + panel * 31) % 1000) / 100.0;
}

void Fill(TTrendMemory& memory, int panels) {
  for (std::int64_t i = 0; i < DayPoints; ++i) {
    for (int panel = 0; panel < panels; ++panel)
      memory.Add(static_cast<std::size_t>(panel), "p" + std::to_string(panel), Start + i * 1000,
                 i % GapEvery == GapEvery - 1 ? GapValue() : Reading(i, panel));
  }
}

} // namespace

int main(int argc, char** argv) {
  if (std::getenv("QT_QPA_PLATFORM") == nullptr)
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication app(argc, argv);
  // "trend 21600": a silence every six hours instead.
  if (argc > 1)
    GapEvery = std::max(2L, std::atol(argv[1]));
  std::printf("silence_every_readings=%lld\n", static_cast<long long>(GapEvery));

  const long before = ResidentKb();
  TTrendMemory twelve;
  Fill(twelve, 12);
  std::printf("memory_12_panels_24h_structure_mb=%.1f rss_delta_mb=%.1f\n",
              static_cast<double>(twelve.Bytes()) / 1e6,
              static_cast<double>(ResidentKb() - before) / 1024.0);

  TTrendMemory one;
  Fill(one, 1);
  QElapsedTimer clock;
  clock.start();
  auto* window = new TTrendWindow(one, {0});
  window->SpanBox->setCurrentIndex(3);
  window->resize(1000 + 120, 600);
  window->show();
  if (!QTest::qWaitForWindowExposed(window))
    std::fprintf(stderr, "the window did not show\n");
  window->Redraw();
  window->View->grab();
  std::printf("open_24h_window_ms=%lld\n", static_cast<long long>(clock.elapsed()));

  constexpr int Redraws = 20;
  clock.restart();
  for (int i = 0; i < Redraws; ++i) {
    window->Redraw();
    window->View->grab();
  }
  std::printf("redraw_plot_width_px=%d redraw_ms=%.1f\n", static_cast<int>(window->View->width()),
              static_cast<double>(clock.elapsed()) / Redraws);

  // Rounds of twelve readings: into the memory alone, then with a trend of
  // all twelve open and drawn after each round (the event loop's turn).
  constexpr int Rounds = 200;
  std::int64_t t = Start + DayPoints * 1000;
  double cpu = CpuMs();
  for (int round = 0; round < Rounds; ++round, t += 1000) {
    for (int panel = 0; panel < 12; ++panel)
      twelve.Add(static_cast<std::size_t>(panel), "p" + std::to_string(panel), t,
                 Reading(round, panel));
  }
  std::printf("memory_only_ms_per_reading=%.4f\n", (CpuMs() - cpu) / (Rounds * 12));

  delete window;
  auto* all = new TTrendWindow(twelve, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11});
  all->SpanBox->setCurrentIndex(3);
  all->resize(1000 + 600, 800);
  all->show();
  if (!QTest::qWaitForWindowExposed(all))
    std::fprintf(stderr, "the window did not show\n");
  QApplication::processEvents();
  cpu = CpuMs();
  for (int round = 0; round < Rounds / 4; ++round, t += 1000) {
    for (int panel = 0; panel < 12; ++panel)
      twelve.Add(static_cast<std::size_t>(panel), "p" + std::to_string(panel), t,
                 Reading(round, panel));
    all->Refresh();
    QApplication::processEvents();
  }
  std::printf("open_trend_12_panels_ms_per_reading=%.3f (the round, its redraw and paint in the "
              "event loop)\n",
              (CpuMs() - cpu) / (Rounds / 4 * 12));
  cpu = CpuMs();
  for (int round = 0; round < Rounds / 4; ++round) {
    all->Redraw();
    all->View->grab();
  }
  std::printf("open_trend_12_panels_painted_ms_per_reading=%.3f\n",
              (CpuMs() - cpu) / (Rounds / 4 * 12));
  delete all;
  return 0;
}
