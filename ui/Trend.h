#pragma once

#include <memory>
#include <vector>

class QWidget;
class TPanelWatch;
class TTrendMemory;

// The trend windows of a monitor. Nothing of a trend is made before the
// first Open. The limits drawn are those of the monitor's watches, one per
// panel; a panel beyond them has none.
class TTrendWindows {
public:
  // Values are shown with decimalSeparator.
  TTrendWindows(QWidget& owner, const TTrendMemory& memory, const std::vector<TPanelWatch>& watches,
                char decimalSeparator);
  ~TTrendWindows();
  TTrendWindows(const TTrendWindows&) = delete;
  TTrendWindows& operator=(const TTrendWindows&) = delete;

  // Shows and raises the trend of these panels, made when none is open.
  void Open(const std::vector<int>& panels);
  // A poll round went into the memory.
  void RoundAdded();
  // The panel's limits changed or the panel is gone: every trend that shows
  // it draws them anew.
  void LimitsChanged(int panel);

  // The open trend windows, newest last.
  std::vector<QWidget*> Windows() const;

private:
  struct TState;
  std::unique_ptr<TState> State;
};
