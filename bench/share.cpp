// How the line's sources share it: a command button running every 700 ms,
// Cycle (1000 ms) and a panel monitor of one panel (1000 ms) against
// k4410r-sim on the offscreen platform, for a minute (or the seconds given).
// Prints, for each source, the turns its interval asked for over the time
// it ran, the ticks the line heard from it, the turns it had and the
// exchanges the simulator received from it.
#include "tests/support/SimProcess.h"
#include "tests/support/TempDir.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/CommandDialog.h"
#include "ui/CommandsWindow.h"
#include "ui/K4410R_Monitor.h"
#include "ui/TestUnit.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <map>

namespace {

void Row(const char* source, long interval, qint64 ranMs, bool atOnce,
         const TLineTurns::TCounts& counts, int received) {
  const long asked = static_cast<long>(ranMs / interval) + (atOnce ? 1 : 0);
  std::printf(
      "%-22s every %4ld ms: asked %3ld, heard %3llu, made %3llu (%5.1f%%), on the wire %3d\n",
      source, interval, asked, static_cast<unsigned long long>(counts.Due),
      static_cast<unsigned long long>(counts.Made),
      asked > 0 ? 100.0 * static_cast<double>(counts.Made) / static_cast<double>(asked) : 0.0,
      received);
}

} // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
    qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  const int seconds = argc > 1 ? std::atoi(argv[1]) : 60;
  ScopedConfigHome home;
  ErrorRecorder errors;
  const std::filesystem::path record = home.Path() / "wire.bin";
  SimProcess sim({"--steady", "--record", record.string()});
  TForm1 form;
  TK4410R_MonitorForm panelMonitor(form);
  form.SetMonitorForms(&panelMonitor, nullptr);
  if (!form.RefreshPorts(sim.PortName()))
    return 1;
  QTest::mouseClick(form.SpeedButton1, Qt::LeftButton);
  panelMonitor.Editors[0]->setText("s.p");
  form.MessageComboBox->setEditText("o.p");

  TCommandsWindow& commands = *form.Commands;
  QTimer::singleShot(50, &commands, [&commands] {
    commands.CommandDialog->CommandEdit->setText("F0");
    commands.CommandDialog->EveryEdit->setText("700");
    commands.CommandDialog->accept();
  });
  QTest::mouseClick(commands.AddButton, Qt::LeftButton);
  if (commands.CommandButtons.empty())
    return 1;

  QElapsedTimer ran;
  ran.start();
  QTest::mouseClick(commands.CommandButtons.front(), Qt::LeftButton);
  QTest::mouseClick(form.CycleCheckBox, Qt::LeftButton);
  panelMonitor.show();
  WaitUntil([] { return false; }, seconds * 1000);
  const qint64 ranMs = ran.elapsed();
  panelMonitor.hide();
  QTest::mouseClick(form.CycleCheckBox, Qt::LeftButton);
  QTest::mouseClick(commands.CommandButtons.front(), Qt::LeftButton);

  const std::map<std::string, int> wire = CommandsReceived(record);
  const auto on = [&](const std::string& command) {
    const auto found = wire.find(command);
    return found == wire.end() ? 0 : found->second;
  };
  std::printf("over %.1f s:\n", static_cast<double>(ranMs) / 1000);
  Row("button F0", 700, ranMs, true, commands.TurnCounts(0), on("F0"));
  Row("Cycle o.p", 1000, ranMs, false, form.Turns.Counts(form.CycleSource()), on("o.p"));
  Row("panel monitor s.p", 1000, ranMs, false, form.Turns.Counts(*panelMonitor.TurnSource()),
      on("s.p"));
  long exchanges = 0;
  for (const auto& [command, count] : wire)
    exchanges += count;
  std::printf("exchanges %ld, %.2f a second\n", exchanges,
              static_cast<double>(exchanges) * 1000 / static_cast<double>(ranMs));
  form.SetMonitorForms(nullptr, nullptr);
  for (const std::string& message : errors.Messages)
    std::fprintf(stderr, "error: %s\n", message.c_str());
  return errors.Messages.empty() ? 0 : 1;
}
