#include "ui/MonitorWindow.h"

#include <QShowEvent>
#include <QTimer>

TMonitorWindow::TMonitorWindow(TMonitorHost& host)
    : QWidget(nullptr, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint), Host(host) {
  // Closing the main window ends the program even while this one is shown.
  setAttribute(Qt::WA_QuitOnClose, false);
  Timer = new QTimer(this);
  Timer->setObjectName("Timer");
  Timer->setInterval(1000);
}

// Minimising and restoring arrive as spontaneous events; the window stays
// shown then and keeps polling.
void TMonitorWindow::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (event->spontaneous())
    return;
  Timer->start();
  emit VisibilityChanged();
}

void TMonitorWindow::hideEvent(QHideEvent* event) {
  QWidget::hideEvent(event);
  if (event->spontaneous())
    return;
  Timer->stop();
  emit VisibilityChanged();
}
