#include "app/ShutdownSignals.h"

#include <QSocketNotifier>

#include <atomic>
#include <csignal>

namespace {

constexpr int PollInterval = 100;

// Read by the signal handler, so they must be lock-free and global.
std::atomic<int> PendingSignal{0};
std::atomic<const platform::TSignalWake*> ActiveWake{nullptr};
static_assert(std::atomic<int>::is_always_lock_free);
static_assert(std::atomic<const platform::TSignalWake*>::is_always_lock_free);

extern "C" void NoteSignal(int signal) {
  PendingSignal.store(signal);
  if (const platform::TSignalWake* wake = ActiveWake.load())
    wake->Wake();
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
  ActiveWake.store(&Wake);
  if (Wake.ReadDescriptor() >= 0) {
    Notifier = std::make_unique<QSocketNotifier>(Wake.ReadDescriptor(), QSocketNotifier::Read);
    connect(Notifier.get(), &QSocketNotifier::activated, this, [this] { Check(); });
  } else {
    Poll.setInterval(PollInterval);
    connect(&Poll, &QTimer::timeout, this, [this] { Check(); });
    Poll.start();
  }
  for (const int signal : HandledSignals) {
    const THandler previous = std::signal(signal, NoteSignal);
    if (previous == SIG_ERR)
      continue;
    // Ignored by whoever started the program, as nohup does.
    if (previous == SIG_IGN) {
      std::signal(signal, SIG_IGN);
      continue;
    }
    Replaced.emplace_back(signal, previous);
  }
}

TShutdownSignals::~TShutdownSignals() {
  for (const auto& [signal, previous] : Replaced)
    std::signal(signal, previous);
  ActiveWake.store(nullptr);
}

void TShutdownSignals::Check() {
  Wake.Drain();
  if (PendingSignal.exchange(0) != 0)
    emit Requested();
}
