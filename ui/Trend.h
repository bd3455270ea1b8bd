#pragma once

#include <memory>
#include <optional>
#include <vector>

class QWidget;
class TTrendMemory;

// The limits drawn across a panel's line.
struct TTrendLimits {
  std::optional<double> Low;
  std::optional<double> High;
};

// The trend windows of a monitor, where this build has them (Trend.cpp), or
// the message that it has none (NoTrend.cpp). Nothing of a chart is made
// before the first Open.
class TTrendWindows {
public:
  TTrendWindows(QWidget& owner, const TTrendMemory& memory);
  ~TTrendWindows();
  TTrendWindows(const TTrendWindows&) = delete;
  TTrendWindows& operator=(const TTrendWindows&) = delete;

  // Shows and raises the trend of these panels, made when none is open.
  void Open(const std::vector<int>& panels);
  // A poll round went into the memory.
  void RoundAdded();
  // The limits of a panel, in every trend that shows it.
  void SetLimits(int panel, const TTrendLimits& limits);

  // The open trend windows, newest last.
  std::vector<QWidget*> Windows() const;

private:
  struct TState;
  std::unique_ptr<TState> State;
};
