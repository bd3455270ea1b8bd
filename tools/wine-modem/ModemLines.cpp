// Preloaded into Wine by the Windows test scripts (LD_PRELOAD): a
// pseudo-terminal has no modem lines, and Wine fails EscapeCommFunction with
// the kernel's refusal, so no exchange with the simulator could key RTS.
// Here the modem-line requests on a pseudo-terminal keep the lines in memory
// instead, one set per device; every other request, and every request on any
// other device, goes to the C library unchanged. Test-only: never installed.
#include <dlfcn.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <cstdarg>
#include <map>
#include <mutex>

namespace {

// Unix98 pseudo-terminal slaves: character devices of majors 136 to 143.
bool IsPseudoTerminal(int fd) {
  struct stat info {};
  return ::fstat(fd, &info) == 0 && S_ISCHR(info.st_mode) && major(info.st_rdev) >= 136 &&
         major(info.st_rdev) <= 143;
}

// The lines a device's holders have set; Wine opens a port more than once.
int& Lines(int fd) {
  static std::map<dev_t, int> lines;
  struct stat info {};
  ::fstat(fd, &info);
  return lines[info.st_rdev];
}

int ModemLines(int fd, unsigned long request, int* bits) {
  static std::mutex lock;
  const std::scoped_lock guard(lock);
  int& lines = Lines(fd);
  if (request == TIOCMGET)
    *bits = lines;
  else if (request == TIOCMSET)
    lines = *bits;
  else if (request == TIOCMBIS)
    lines |= *bits;
  else
    lines &= ~*bits;
  return 0;
}

bool IsModemRequest(unsigned long request) {
  return request == TIOCMGET || request == TIOCMSET || request == TIOCMBIS || request == TIOCMBIC;
}

} // namespace

// glibc declares it noexcept in C++.
extern "C" int ioctl(int fd, unsigned long request, ...) noexcept {
  va_list args;
  va_start(args, request);
  void* argument = va_arg(args, void*);
  va_end(args);
  if (IsModemRequest(request) && argument != nullptr && IsPseudoTerminal(fd))
    return ModemLines(fd, request, static_cast<int*>(argument));
  using TIoctl = int (*)(int, unsigned long, ...);
  static const auto next = reinterpret_cast<TIoctl>(::dlsym(RTLD_NEXT, "ioctl"));
  return next(fd, request, argument);
}
