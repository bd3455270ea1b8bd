#include "app/Shutdown.h"
#include "app/ShutdownSignals.h"
#include "ui/ApplicationErrors.h"
#include "ui/ApplicationTitle.h"
#include "ui/ErrorBox.h"
#include "ui/K4410R_Monitor.h"
#include "ui/TestUnit.h"
#include "ui/VM806D_LX_Monitor.h"

#include <QApplication>
#include <QSessionManager>

#include <memory>

namespace {

// The windows in their order of creation, destroyed in reverse.
int RunWindows(QApplication& application) {
  // Made first, so its handlers outlive the windows' save at the end, and
  // listened to at once: a signal during a box at start ends the program.
  TShutdownSignals shutdownSignals;
  TShutdown shutdown;
  QObject::connect(&shutdownSignals, &TShutdownSignals::Requested, &shutdown, &TShutdown::Request);
  // On Windows the session's end comes once its data is committed (below).
  QObject::connect(&application, &QCoreApplication::aboutToQuit, &shutdown,
                   &TShutdown::SessionEnds);
  TForm1 form1;
  auto valueMonitor = std::make_unique<TTestVM806D_LX_MonitorForm>(form1);
  auto panelMonitor = std::make_unique<TK4410R_MonitorForm>(form1);
  form1.SetMonitorForms(panelMonitor.get(), valueMonitor.get());
  // From here on, every error is in the session record too, shown or not.
  SetErrorPresenter(
      TErrorBox(ApplicationTitle, [&form1](const std::string& text) { form1.RecordError(text); }));
  Guarded([&] { panelMonitor->FormCreate(); });

  // Closing the main window ends the program; the monitors are not asked.
  // quit() would ask every visible window first, and the two-value monitor
  // refuses, so leave the loop directly.
  QObject::connect(&form1, &TForm1::Closed, &application, [] { QCoreApplication::exit(0); });

  // Windows may end the program as soon as the session's end is confirmed,
  // before the windows are destroyed: save now, in the order of the end.
  // Not before the windows are made: nothing has changed yet that a save
  // would keep, and a window half made would write its designed state.
  QObject::connect(&application, &QGuiApplication::commitDataRequest, &form1,
                   [&form1](QSessionManager&) { Guarded([&] { form1.SaveSettings(); }); });

  const int result = shutdown.Exec(form1);

  SetErrorPresenter(TErrorBox(ApplicationTitle));
  panelMonitor.reset();
  form1.SetMonitorForms(nullptr, nullptr);
  valueMonitor.reset();
  return result;
}

} // namespace

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  QApplication::setApplicationName(QString::fromLatin1(ApplicationTitle));
  QApplication::setQuitOnLastWindowClosed(false);
  SetErrorPresenter(TErrorBox(ApplicationTitle));
  const int result = RunWindows(application);
  SetErrorPresenter({});
  return result;
}
