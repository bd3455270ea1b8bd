#include "app/ShutdownSignals.h"

#include <atomic>
#include <csignal>

namespace {

constexpr int PollInterval = 100;

// Written by the signal handler, so it must be lock-free and global.
std::atomic<int> PendingSignal{0};
static_assert(std::atomic<int>::is_always_lock_free);

extern "C" void NoteSignal(int signal) {
  PendingSignal.store(signal);
  // A second signal ends the program at once, should the orderly way hang.
  std::signal(signal, SIG_DFL);
}

constexpr int HandledSignals[] = {
    SIGINT,
    SIGTERM,
#ifdef SIGHUP
    SIGHUP,
#endif
};

} // namespace

TShutdownSignals::TShutdownSignals() {
  for (const int signal : HandledSignals)
    std::signal(signal, NoteSignal);
  Poll.setInterval(PollInterval);
  connect(&Poll, &QTimer::timeout, this, [this] {
    if (PendingSignal.exchange(0) != 0)
      emit Requested();
  });
  Poll.start();
}

TShutdownSignals::~TShutdownSignals() {
  for (const int signal : HandledSignals)
    std::signal(signal, SIG_DFL);
}
