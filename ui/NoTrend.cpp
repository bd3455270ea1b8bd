#include "ui/Trend.h"

#include "base/Exception.h"

// A build without Qt Charts: the monitor stays as it is and says so when a
// trend is asked for.
struct TTrendWindows::TState {};

TTrendWindows::TTrendWindows(QWidget&, const TTrendMemory&, const std::vector<TPanelWatch>&, char) {
}

TTrendWindows::~TTrendWindows() = default;

void TTrendWindows::Open(const std::vector<int>&) {
  throw Exception("The trend window is not part of this build.");
}

void TTrendWindows::RoundAdded() {}

void TTrendWindows::LimitsChanged(int) {}

std::vector<QWidget*> TTrendWindows::Windows() const {
  return {};
}
