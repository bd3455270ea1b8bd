// The trend window's figures on a day of readings at one a second, on the
// offscreen platform: opening a recording of a week, opening the window, a
// redraw 1,000 pixels wide, the memory of twelve panels' days, and the
// processor time a reading costs with limits, in the memory and in an open
// trend, scale changes included. Prints one figure a line.
#include "record/TimeText.h"
#include "tests/support/TempDir.h"
#include "ui/TrendPlot.h"
#include "ui/TrendWindow.h"
#include "watch/PanelWatch.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QTest>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <numeric>
#include <string>
#include <vector>

#include <sys/wait.h>
#include <unistd.h>

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

// A figure of /proc/self/status in kB: "VmRSS:" now, "VmHWM:" the peak.
long StatusKb(const std::string& field) {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind(field, 0) == 0)
      return std::atol(line.c_str() + field.size());
  }
  return 0;
}

long ResidentKb() {
  return StatusKb("VmRSS:");
}

// Built by appending: GCC 12 warns falsely on "p" + std::to_string(n).
std::string Label(int panel) {
  std::string label = "p";
  label += std::to_string(panel);
  return label;
}

double Reading(std::int64_t i, int panel) {
  return 20.0 + panel + static_cast<double>((i * 7919 + panel * 31) % 1000) / 100.0;
}

// A poll round's reading: every 50th round one above every reading before,
// so the value scale changes a dozen times in 600 rounds.
double PollReading(int round, int panel) {
  return round % 50 == 49 ? 30.0 + panel + round / 20.0 : Reading(round, panel);
}

// Rounds of readings one second apart, each judged against limits and kept
// in the memory; an open trend is told of each round and the event loop
// turns. The processor time per reading.
double PollRounds(TTrendMemory& memory, int panels, TTrendWindow* trend, int rounds,
                  std::int64_t& t) {
  std::vector<TPanelWatch> watches(static_cast<std::size_t>(panels));
  for (TPanelWatch& watch : watches)
    watch.Restore({"21", "29", "0.5"}, '.');
  const double cpu = CpuMs();
  for (int round = 0; round < rounds; ++round, t += 1000) {
    for (int panel = 0; panel < panels; ++panel) {
      const double value = PollReading(round, panel);
      char shown[32];
      std::snprintf(shown, sizeof shown, "%.2f", value);
      // Read once, as the line reads an answer, for the limits and the memory.
      TReading reading;
      reading.Command = Label(panel);
      reading.Answer = shown;
      reading.Shown = ReadShown(shown, '.');
      watches[static_cast<std::size_t>(panel)].Judge(reading);
      memory.Add(static_cast<std::size_t>(panel), t, reading);
    }
    if (trend != nullptr) {
      trend->Refresh();
      QApplication::processEvents();
    }
  }
  return (CpuMs() - cpu) / (rounds * panels);
}

void Fill(TTrendMemory& memory, int panels) {
  for (std::int64_t i = 0; i < DayPoints; ++i) {
    for (int panel = 0; panel < panels; ++panel)
      memory.Add(static_cast<std::size_t>(panel), Label(panel), Start + i * 1000,
                 i % GapEvery == GapEvery - 1 ? GapValue() : Reading(i, panel));
  }
}

// A week of one reading a second in a readings file, as the monitor's
// recorder writes it (times in UTC).
void WriteWeek(const std::string& path) {
  std::ofstream file(path, std::ios::binary);
  file << "time,p.v\r\n";
  const std::int64_t rows = 7 * DayPoints;
  for (std::int64_t i = 0; i < rows; ++i) {
    const std::int64_t ms = Start + i * 1000;
    const auto seconds = static_cast<time_t>(ms / 1000);
    tm utc{};
    gmtime_r(&seconds, &utc);
    const platform::LocalTime at{utc.tm_year + 1900, utc.tm_mon + 1, utc.tm_mday, utc.tm_hour,
                                 utc.tm_min,         utc.tm_sec,     0,           0};
    char value[32];
    std::snprintf(value, sizeof value, "%.2f", Reading(i, 0));
    file << IsoTime(at) << ',' << value << "\r\n";
  }
}

// Opening a week's recording and showing it, in a process of its own so
// that its peak memory is the recording's alone.
void OpenWeek(int argc, char** argv) {
  const pid_t child = fork();
  if (child != 0) {
    waitpid(child, nullptr, 0);
    return;
  }
  QApplication app(argc, argv);
  TempDir dir;
  const std::string week = (dir.Path() / "week.csv").string();
  WriteWeek(week);
  TTrendMemory none;
  const long peakBefore = StatusKb("VmHWM:");
  QElapsedTimer clock;
  clock.start();
  auto* window = new TTrendWindow(none, {0}, '.');
  window->OpenRecording(week);
  window->show();
  if (!QTest::qWaitForWindowExposed(window))
    std::fprintf(stderr, "the window did not show\n");
  window->View->grab();
  std::printf("open_recording_7_days_ms=%lld peak_rss_delta_mb=%.1f\n",
              static_cast<long long>(clock.elapsed()),
              static_cast<double>(StatusKb("VmHWM:") - peakBefore) / 1024.0);
  delete window;
  std::fflush(stdout);
  std::_Exit(0);
}

} // namespace

int main(int argc, char** argv) {
  if (std::getenv("QT_QPA_PLATFORM") == nullptr)
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
  OpenWeek(argc, argv);
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
  auto* window = new TTrendWindow(one, {0}, '.');
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

  // Poll rounds as the monitor makes them, with limits on every panel: into
  // the memory alone, then with a trend of one or twelve panels open over
  // ten minutes and over a day, drawn as the event loop turns.
  std::int64_t t = Start + DayPoints * 1000;
  std::printf("limits_and_memory_ms_per_reading=%.4f\n", PollRounds(twelve, 12, nullptr, 200, t));
  delete window;
  for (const int panels : {1, 12}) {
    for (const int span : {0, 3}) {
      std::vector<int> shown(static_cast<std::size_t>(panels));
      std::iota(shown.begin(), shown.end(), 0);
      auto* trend = new TTrendWindow(twelve, shown, '.');
      trend->SpanBox->setCurrentIndex(span);
      trend->resize(1000 + 50 * panels, 800);
      trend->show();
      if (!QTest::qWaitForWindowExposed(trend))
        std::fprintf(stderr, "the window did not show\n");
      QApplication::processEvents();
      // A day's span moves by a pixel column every 86 s: ten minutes of
      // rounds hold about seven of its shifts.
      const int rounds = 600;
      std::printf("open_trend_%d_panels_%s_ms_per_reading=%.3f\n", panels,
                  span == 0 ? "10min" : "24h", PollRounds(twelve, panels, trend, rounds, t));
      delete trend;
    }
  }

  auto* all = new TTrendWindow(twelve, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}, '.');
  all->SpanBox->setCurrentIndex(3);
  all->resize(1000 + 600, 800);
  all->show();
  if (!QTest::qWaitForWindowExposed(all))
    std::fprintf(stderr, "the window did not show\n");
  const double cpu = CpuMs();
  for (int i = 0; i < Redraws; ++i) {
    all->Redraw();
    all->View->grab();
  }
  std::printf("redraw_12_panels_24h_ms=%.1f\n", (CpuMs() - cpu) / Redraws);
  delete all;
  return 0;
}
