#include "ui/MonitorWindow.h"

#include "ui/ApplicationErrors.h"
#include "ui/MonitorHost.h"

#include <QShowEvent>
#include <QTimer>

#include <utility>

TMonitorWindow::TMonitorWindow(TMonitorHost& host)
    : QWidget(nullptr, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint), Host(host),
      Line(host.InstrumentLine()) {
  // Closing the main window ends the program even while this one is shown.
  setAttribute(Qt::WA_QuitOnClose, false);
  Timer = new QTimer(this);
  Timer->setObjectName("Timer");
  Timer->setInterval(1000);
}

TMonitorWindow::~TMonitorWindow() {
  if (Source)
    Host.LineTurns().Remove(*Source);
}

void TMonitorWindow::TakeTurns(std::function<void()> poll) {
  Source = Host.LineTurns().Add(std::move(poll));
  connect(Timer, &QTimer::timeout, this,
          [this] { Guarded([&] { Host.LineTurns().Due(*Source); }); });
}

// Minimising and restoring arrive as spontaneous events; the window stays
// shown then and keeps polling.
void TMonitorWindow::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (!event->spontaneous())
    FollowShown(true);
}

void TMonitorWindow::hideEvent(QHideEvent* event) {
  QWidget::hideEvent(event);
  if (!event->spontaneous())
    FollowShown(false);
}

void TMonitorWindow::FollowShown(bool shown) {
  if (shown)
    Timer->start();
  else
    Timer->stop();
  emit VisibilityChanged();
}
