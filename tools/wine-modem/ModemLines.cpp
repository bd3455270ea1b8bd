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
#include <optional>

namespace {

// The device of a Unix98 pseudo-terminal slave (a character device of
// major 136 to 143), none for any other descriptor.
std::optional<dev_t> PseudoTerminal(int fd) {
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISCHR(info.st_mode) || major(info.st_rdev) < 136 ||
      major(info.st_rdev) > 143)
    return std::nullopt;
  return info.st_rdev;
}

// The lines each device's holders have set; Wine opens a port more than
// once.
int ModemLines(dev_t device, unsigned long request, int* bits) {
  static std::mutex lock;
  static std::map<dev_t, int> devices;
  const std::scoped_lock guard(lock);
  int& lines = devices[device];
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
  if (IsModemRequest(request) && argument != nullptr) {
    if (const std::optional<dev_t> device = PseudoTerminal(fd))
      return ModemLines(*device, request, static_cast<int*>(argument));
  }
  using TIoctl = int (*)(int, unsigned long, ...);
  static const auto next = reinterpret_cast<TIoctl>(::dlsym(RTLD_NEXT, "ioctl"));
  return next(fd, request, argument);
}
