#include "platform/SignalWake.h"

namespace platform {

// Signals arrive on a thread of their own here; the loop polls.
TSignalWake::TSignalWake() = default;
TSignalWake::~TSignalWake() = default;
void TSignalWake::Wake() const noexcept {}
void TSignalWake::Drain() const noexcept {}

} // namespace platform
