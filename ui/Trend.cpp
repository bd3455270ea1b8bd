#include "ui/Trend.h"

#include "ui/TrendWindow.h"

#include <QPointer>

#include <map>

struct TTrendWindows::TState {
  QWidget& Owner;
  const TTrendMemory& Memory;
  std::vector<QPointer<TTrendWindow>> Open;
  std::map<int, TTrendLimits> Limits;

  void ForgetClosed() {
    std::erase_if(Open, [](const QPointer<TTrendWindow>& window) { return window.isNull(); });
  }
};

TTrendWindows::TTrendWindows(QWidget& owner, const TTrendMemory& memory)
    : State(std::make_unique<TState>(TState{owner, memory, {}, {}})) {}

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
  auto* window = new TTrendWindow(State->Memory, panels, &State->Owner);
  for (std::size_t i = 0; i < panels.size(); ++i) {
    if (const auto limits = State->Limits.find(panels[i]); limits != State->Limits.end())
      window->SetLimits(i, limits->second.Low, limits->second.High);
  }
  State->Open.emplace_back(window);
  window->show();
}

void TTrendWindows::RoundAdded() {
  State->ForgetClosed();
  for (const QPointer<TTrendWindow>& window : State->Open)
    window->Refresh();
}

void TTrendWindows::SetLimits(int panel, const TTrendLimits& limits) {
  State->Limits[panel] = limits;
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
