// Times what the window tests check only by order and count, against
// k4410r-sim on the offscreen platform: file playback, the panel monitor's
// polls, a port drop-down over many ports, and a log append of many line
// breaks. Prints one figure a line, in milliseconds.
#include "tests/support/SimProcess.h"
#include "tests/support/TempDir.h"
#include "tests/ui/MonitorRig.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/DropDownComboBox.h"
#include "ui/OutputLog.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>

namespace {

// Errors the window would have shown; true when there were none.
bool Reported(const std::vector<std::string>& messages) {
  for (const std::string& message : messages)
    std::fprintf(stderr, "error: %s\n", message.c_str());
  return messages.empty();
}

struct TPlayed {
  qint64 TotalMs = 0;
  qint64 LongestPauseMs = 0; // of the event loop, seen by a 10 ms timer
};

TPlayed Play(TForm1& form, const std::filesystem::path& file) {
  ChooseFileWhenAsked(form, file);
  QElapsedTimer total;
  QElapsedTimer sinceTurn;
  TPlayed played;
  QTimer watch;
  QObject::connect(&watch, &QTimer::timeout, [&] {
    played.LongestPauseMs = std::max(played.LongestPauseMs, sinceTurn.restart());
  });
  watch.start(10);
  total.start();
  sinceTurn.start();
  QTest::mouseClick(form.Button1, Qt::LeftButton);
  if (!WaitUntil([&] { return !form.Playback.Playing(); }, 120000))
    std::fprintf(stderr, "playback of %s did not end\n", file.c_str());
  played.TotalMs = total.elapsed();
  return played;
}

bool PlaybackFigures(const ScopedConfigHome& home) {
  ErrorRecorder errors;
  SimProcess sim({"--steady"});
  TForm1 form;
  form.show();
  form.RefreshPorts(sim.PortName());
  QTest::mouseClick(form.SpeedButton1, Qt::LeftButton);

  const std::filesystem::path lines = home.Path() / "lines.txt";
  std::ofstream(lines) << "p.v\nF0\nzz\n";
  const TPlayed three = Play(form, lines);
  std::printf("playback_3_lines_ms=%lld longest_pause_ms=%lld\n", three.TotalMs,
              three.LongestPauseMs);

  const std::filesystem::path huge = home.Path() / "huge.txt";
  std::ofstream(huge) << "p.v\n" << std::string(10 * 1024 * 1024, '7') << "\nF0\n";
  const TPlayed big = Play(form, huge);
  std::printf("playback_10mb_line_ms=%lld longest_pause_ms=%lld\n", big.TotalMs,
              big.LongestPauseMs);
  return Reported(errors.Messages);
}

bool MonitorFigures() {
  SimProcess sim({"--steady"});
  TMonitorRig rig;
  TK4410R_MonitorForm& monitor = rig.ThreePanelsPolling(sim);
  std::vector<qint64> starts;
  QElapsedTimer clock;
  clock.start();
  QObject::connect(monitor.Timer, &QTimer::timeout, [&] { starts.push_back(clock.elapsed()); });
  monitor.show();
  WaitUntil([&] { return starts.size() >= 3; }, 20000);
  monitor.hide();
  if (starts.size() >= 3)
    std::printf("monitor_3_panels_two_polls_ms=%lld\n", starts[2] - starts[0]);
  return Reported(rig.Errors);
}

bool DropDownFigure(const ScopedConfigHome& home) {
  ErrorRecorder errors;
  SimProcess sim({"--steady", "--port", "3"});
  TForm1 form;
  form.RefreshPorts("COM3");
  for (int n = 4; n < 68; ++n)
    std::filesystem::create_symlink(sim.PtyPath(),
                                    home.AppDir() / "dosdevices" / ("com" + std::to_string(n)));
  QElapsedTimer clock;
  clock.start();
  form.PortComboBox->showPopup();
  const qint64 took = clock.elapsed();
  form.PortComboBox->hidePopup();
  std::printf("dropdown_%d_ports_ms=%lld\n", form.PortComboBox->count(), took);
  return Reported(errors.Messages);
}

void OutputLogFigure() {
  TOutputLog log;
  QElapsedTimer clock;
  clock.start();
  log.Append(std::string(400000, '\n') + "last");
  std::printf("log_append_400000_breaks_ms=%lld\n", clock.elapsed());
}

} // namespace

int main(int argc, char** argv) {
  if (std::getenv("QT_QPA_PLATFORM") == nullptr)
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication application(argc, argv);
  bool ok = true;
  {
    ScopedConfigHome home;
    ok = PlaybackFigures(home) && ok;
  }
  {
    ScopedConfigHome home;
    ok = MonitorFigures() && ok;
  }
  {
    ScopedConfigHome home;
    ok = DropDownFigure(home) && ok;
  }
  OutputLogFigure();
  return ok ? 0 : 1;
}
