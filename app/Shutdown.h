#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>

// An end asked for from outside the windows (a signal, the session's end),
// taken whenever it comes: every modal window open then, or opened later
// while the windows go, closes as if cancelled, and the main window closes
// as when the operator closes it. A request that comes before the event
// loop runs (a box while the windows are being made) waits for it: Exec
// then returns at once, and the windows' destruction makes the one save.
class TShutdown : public QObject {
  Q_OBJECT

public:
  void Request();
  // The system's session ends (on Windows, after the settings were saved
  // for it): a request, unless the main window has closed already.
  void SessionEnds();
  // Shows the main window and runs the event loop until it closes; returns
  // 0 without either when the end was asked for already.
  int Exec(QWidget& mainWindow);

protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  bool Requested = false;
  QPointer<QWidget> MainWindow; // while the event loop runs
};
