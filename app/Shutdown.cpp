#include "app/Shutdown.h"

#include <QApplication>
#include <QDialog>
#include <QEvent>

#include <vector>

void TShutdown::Request() {
  if (!Requested) {
    Requested = true;
    qApp->installEventFilter(this);
  }
  // Held by guards: a dialog cancelled may take another with it.
  std::vector<QPointer<QDialog>> dialogs;
  for (QWidget* window : QApplication::topLevelWidgets())
    if (auto* dialog = qobject_cast<QDialog*>(window); dialog != nullptr && dialog->isVisible())
      dialogs.emplace_back(dialog);
  for (const QPointer<QDialog>& dialog : dialogs)
    if (dialog && dialog->isVisible())
      dialog->reject();
  if (MainWindow && MainWindow->isVisible())
    MainWindow->close();
}

void TShutdown::SessionEnds() {
  if (MainWindow && MainWindow->isVisible())
    Request();
}

int TShutdown::Exec(QWidget& mainWindow) {
  if (Requested)
    return 0;
  MainWindow = &mainWindow;
  mainWindow.show();
  const int result = QApplication::exec();
  MainWindow = nullptr;
  return result;
}

bool TShutdown::eventFilter(QObject* watched, QEvent* event) {
  // A dialog that opens once the end is asked for (the next box at start,
  // a save that fails) shows before its loop runs: cancelled from there.
  if (event->type() == QEvent::Show)
    if (auto* dialog = qobject_cast<QDialog*>(watched); dialog != nullptr && dialog->isWindow())
      QMetaObject::invokeMethod(dialog, &QDialog::reject, Qt::QueuedConnection);
  return QObject::eventFilter(watched, event);
}
