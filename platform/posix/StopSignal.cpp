#include "platform/StopSignal.h"

#include <csignal>

namespace platform {

namespace {

// A signal handler can reach nothing but a flag of this kind.
volatile std::sig_atomic_t Stop = 0;

extern "C" void OnStopSignal(int) {
  Stop = 1;
}

} // namespace

void CatchStopSignals() {
  struct sigaction action {};
  action.sa_handler = OnStopSignal;
  sigemptyset(&action.sa_mask);
  // The exchange under way must finish whole: its calls carry on.
  action.sa_flags = SA_RESTART;
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
}

bool StopRequested() {
  return Stop != 0;
}

} // namespace platform
