#include "ui/Trend.h"

#include "ui/TrendWindow.h"
#include "watch/PanelWatch.h"

#include <QPointer>

struct TTrendWindows::TState {
  QWidget& Owner;
  const TTrendMemory& Memory;
  const std::vector<TPanelWatch>& Watches;
  char DecimalSeparator;
  std::vector<QPointer<TTrendWindow>> Open;

  TLimits LimitsOf(int panel) const {
    const auto index = static_cast<std::size_t>(panel);
    return index < Watches.size() ? Watches[index].Limits() : TLimits{};
  }

  void ForgetClosed() {
    std::erase_if(Open, [](const QPointer<TTrendWindow>& window) { return window.isNull(); });
  }
};

TTrendWindows::TTrendWindows(QWidget& owner, const TTrendMemory& memory,
                             const std::vector<TPanelWatch>& watches, char decimalSeparator)
    : State(std::make_unique<TState>(TState{owner, memory, watches, decimalSeparator, {}})) {}

TTrendWindows::~TTrendWindows() = default;

void TTrendWindows::Open(const std::vector<int>& panels) {
  State->ForgetClosed();
  for (const QPointer<TTrendWindow>& window : State->Open) {
    if (window->Panels() == panels) {
      window->show();
      window->raise();
      window->activateWindow();
      return;
    }
  }
  // A window of its own, closed and deleted with the monitor.
  auto* window = new TTrendWindow(State->Memory, panels, State->DecimalSeparator, &State->Owner);
  for (std::size_t i = 0; i < panels.size(); ++i) {
    const TLimits limits = State->LimitsOf(panels[i]);
    window->SetLimits(i, limits.Low, limits.High);
  }
  State->Open.emplace_back(window);
  window->show();
}

void TTrendWindows::RoundAdded() {
  State->ForgetClosed();
  for (const QPointer<TTrendWindow>& window : State->Open)
    window->Refresh();
}

void TTrendWindows::LimitsChanged(int panel) {
  const TLimits limits = State->LimitsOf(panel);
  State->ForgetClosed();
  for (const QPointer<TTrendWindow>& window : State->Open) {
    const std::vector<int>& shown = window->Panels();
    for (std::size_t i = 0; i < shown.size(); ++i) {
      if (shown[i] == panel)
        window->SetLimits(i, limits.Low, limits.High);
    }
  }
}

std::vector<QWidget*> TTrendWindows::Windows() const {
  State->ForgetClosed();
  return {State->Open.begin(), State->Open.end()};
}
