#pragma once

#include <QObject>
#include <QTimer>

// SIGINT, SIGTERM and SIGHUP ask for an orderly end: the handler only notes
// the request, and a timer on the user-interface thread acts on it, so the
// main window closes and saves its settings as when the user closes it.
class TShutdownSignals : public QObject {
  Q_OBJECT

public:
  TShutdownSignals();
  ~TShutdownSignals() override;

signals:
  void Requested();

private:
  QTimer Poll;
};
