#include "platform/StopSignal.h"

#include <csignal>
#include <initializer_list>

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
  for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
    struct sigaction previous {};
    // A signal ignored by whoever started the program (nohup) stays ignored.
    if (sigaction(signal, nullptr, &previous) == 0 && previous.sa_handler == SIG_IGN)
      continue;
    sigaction(signal, &action, nullptr);
  }
  // Output to a pipe whose reader is gone is an output failure to report,
  // not a reason to die silently.
  std::signal(SIGPIPE, SIG_IGN);
}

bool StopRequested() {
  return Stop != 0;
}

} // namespace platform
