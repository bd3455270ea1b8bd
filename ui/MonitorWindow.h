#pragma once

#include "ui/LineTurns.h"

#include <QWidget>

#include <functional>
#include <optional>

class QTimer;
class TInstrumentLine;
class TMonitorHost;

// A monitor window: a fixed dialog-style window whose Timer ticks once a
// second while it is shown, polling on the main window's line.
class TMonitorWindow : public QWidget {
  Q_OBJECT

public:
  QTimer* Timer = nullptr;
  // Its source on the line's turns, once TakeTurns has made it.
  std::optional<TLineTurns::TSource> TurnSource() const { return Source; }

signals:
  // Shown or hidden by the program or the operator; minimising does not
  // count.
  void VisibilityChanged();

protected:
  explicit TMonitorWindow(TMonitorHost& host);
  ~TMonitorWindow() override;

  // Each tick of Timer asks the host's line for a turn, which poll takes.
  void TakeTurns(std::function<void()> poll);

  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;

  TMonitorHost& Host;
  // The host's line, which its exchanges and their record lines take.
  TInstrumentLine& Line;

private:
  // The timer runs exactly while the window is shown.
  void FollowShown(bool shown);

  std::optional<TLineTurns::TSource> Source;
};
