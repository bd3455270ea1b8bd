#include "platform/SignalWake.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace platform {

TSignalWake::TSignalWake() {
  int ends[2];
  // Non-blocking both ways: a handler never waits on a full pipe, and a
  // drain stops when it is empty.
  if (::pipe2(ends, O_CLOEXEC | O_NONBLOCK) != 0)
    return;
  ReadEnd = ends[0];
  WriteEnd = ends[1];
}

TSignalWake::~TSignalWake() {
  if (ReadEnd >= 0)
    ::close(ReadEnd);
  if (WriteEnd >= 0)
    ::close(WriteEnd);
}

void TSignalWake::Wake() const noexcept {
  if (WriteEnd < 0)
    return;
  const int saved = errno;
  // A full pipe already holds a wake-up.
  [[maybe_unused]] const ssize_t written = ::write(WriteEnd, "!", 1);
  errno = saved;
}

void TSignalWake::Drain() const noexcept {
  char buffer[64];
  while (ReadEnd >= 0 && ::read(ReadEnd, buffer, sizeof buffer) > 0)
    ;
}

} // namespace platform
