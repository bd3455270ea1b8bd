#pragma once

#include "platform/SignalWake.h"

#include <QObject>
#include <QTimer>

#include <memory>
#include <utility>
#include <vector>

class QSocketNotifier;

// SIGINT, SIGTERM and SIGHUP ask for an orderly end: the handler only notes
// the request and wakes the user-interface thread, which emits Requested
// in whatever event loop runs, a box's at start included. A signal
// ignored at start (nohup) stays ignored. The handlers stay until this
// object goes, so let it outlive the save: a second signal meanwhile does
// not cut the save short (a program that hangs there takes SIGKILL).
class TShutdownSignals : public QObject {
  Q_OBJECT

public:
  TShutdownSignals();
  ~TShutdownSignals() override;

signals:
  void Requested();

private:
  void Check();

  using THandler = void (*)(int);
  std::vector<std::pair<int, THandler>> Replaced; // signal, handler before ours
  platform::TSignalWake Wake;
  std::unique_ptr<QSocketNotifier> Notifier;
  QTimer Poll; // where there is nothing to watch
};
