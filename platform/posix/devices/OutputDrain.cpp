#include "platform/posix/devices/OutputDrain.h"

#include "platform/TickCounter.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <fcntl.h>
#include <memory>
#include <mutex>
#include <sys/ioctl.h>
#include <system_error>
#include <thread>
#include <unistd.h>

namespace platform::posix {

namespace {

// Bytes the output queue no longer counts may still wait in the device's
// own buffer: a few hundred at most, some hundred ms at the line's rates.
// The final drain gets at least this, whatever is left of the limit.
constexpr std::uint32_t FinalDrainFloorMs = 1000;

bool Fail(int code) {
  errno = code;
  return false;
}

int DrainUntilDone(int fd, const std::function<int(int)>& drain) {
  while (drain(fd) != 0)
    if (errno != EINTR)
      return errno;
  return 0;
}

// What the drain beside reports to its caller, who may have given up on it.
struct DrainOutcome {
  std::mutex Lock;
  std::condition_variable Done;
  bool Finished = false;
  int Error = 0;
};

// tcdrain has no time limit, and a driver that never reports its bytes
// sent would hold it for good. So it runs on a thread of its own, on a
// descriptor of its own, which it closes when the driver does answer; the
// caller waits for it only until the limit.
bool DrainWithin(int fd, std::uint32_t limitMs, const std::function<int(int)>& drain) {
  const int own = ::fcntl(fd, F_DUPFD_CLOEXEC, 0);
  if (own < 0)
    return false;
  const auto run = [own, drain] {
    const int error = DrainUntilDone(own, drain);
    ::close(own);
    return error;
  };
  auto outcome = std::make_shared<DrainOutcome>();
  try {
    std::thread([outcome, run] {
      const int error = run();
      const std::lock_guard lock(outcome->Lock);
      outcome->Finished = true;
      outcome->Error = error;
      outcome->Done.notify_one();
    }).detach();
  } catch (const std::system_error&) {
    // Without a thread to spare the drain runs here, unbounded.
    const int error = run();
    return error == 0 || Fail(error);
  }
  std::unique_lock lock(outcome->Lock);
  if (!outcome->Done.wait_for(lock, std::chrono::milliseconds(limitMs),
                              [&] { return outcome->Finished; }))
    return Fail(ETIMEDOUT);
  return outcome->Error == 0 || Fail(outcome->Error);
}

} // namespace

bool DrainOutput(int fd, std::uint32_t limitMs, const std::function<int(int)>& drain) {
  // The output queue is watched empty first, within the limit; what is
  // left after that is the driver's last bytes.
  const std::uint32_t start = GetTickCount();
  for (;;) {
    int pending = 0;
    if (::ioctl(fd, TIOCOUTQ, &pending) != 0)
      return false;
    if (pending <= 0)
      break;
    if (GetTickCount() - start > limitMs)
      return Fail(ETIMEDOUT);
    Sleep(1);
  }
  const std::uint32_t spent = GetTickCount() - start;
  const std::uint32_t left = limitMs > spent ? limitMs - spent : 0;
  return DrainWithin(fd, std::max(left, FinalDrainFloorMs), drain);
}

} // namespace platform::posix
