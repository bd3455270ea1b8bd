#include "platform/CommDevice.h"

#include "platform/SystemError.h"
#include "platform/TickCounter.h"
#include "platform/posix/devices/DosDeviceLinks.h"
#include "platform/posix/devices/OutputDrain.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <limits>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <termios.h>
#include <unistd.h>

namespace platform {

namespace {

// A write that makes no progress for this long has lost its peer; the
// caller would otherwise hang on a device that stopped reading.
constexpr std::uint32_t WriteStallLimitMs = 2000;

int Fd(Handle handle) {
  return static_cast<int>(handle);
}

bool Fail(int code) {
  errno = code;
  return false;
}

// Pseudo-terminals have no modem lines; their slaves use the Unix98 majors
// 136 to 143, or 3 for the legacy BSD kind.
bool IsPseudoTerminal(int fd) {
  struct stat info {};
  if (::fstat(fd, &info) != 0)
    return false;
  const unsigned int majorNumber = major(info.st_rdev);
  return S_ISCHR(info.st_mode) && ((majorNumber >= 136 && majorNumber <= 143) || majorNumber == 3);
}

bool ToSpeed(std::uint32_t baud, speed_t& speed) {
  struct Rate {
    std::uint32_t Baud;
    speed_t Speed;
  };
  static constexpr Rate rates[] = {
      {50, B50},       {75, B75},         {110, B110},       {134, B134},       {150, B150},
      {200, B200},     {300, B300},       {600, B600},       {1200, B1200},     {1800, B1800},
      {2400, B2400},   {4800, B4800},     {9600, B9600},     {19200, B19200},   {38400, B38400},
      {57600, B57600}, {115200, B115200}, {230400, B230400}, {460800, B460800}, {921600, B921600}};
  for (const Rate& rate : rates)
    if (rate.Baud == baud) {
      speed = rate.Speed;
      return true;
    }
  return false;
}

bool ApplyCharacterFormat(const Dcb& dcb, termios& tio) {
  tio.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS);
  switch (dcb.ByteSize) {
  case 5:
    tio.c_cflag |= CS5;
    break;
  case 6:
    tio.c_cflag |= CS6;
    break;
  case 7:
    tio.c_cflag |= CS7;
    break;
  case 8:
    tio.c_cflag |= CS8;
    break;
  default:
    return false;
  }
  switch (dcb.Parity) {
  case NoParity:
    break;
  case OddParity:
    tio.c_cflag |= PARENB | PARODD;
    break;
  case EvenParity:
    tio.c_cflag |= PARENB;
    break;
  case MarkParity:
    tio.c_cflag |= PARENB | PARODD | CMSPAR;
    break;
  case SpaceParity:
    tio.c_cflag |= PARENB | CMSPAR;
    break;
  default:
    return false;
  }
  switch (dcb.StopBits) {
  case OneStopBit:
    break;
  case TwoStopBits:
    tio.c_cflag |= CSTOPB;
    break;
  default:
    return false;
  }
  return true;
}

void ApplyFlowControl(const Dcb& dcb, termios& tio) {
  if ((dcb.Flags & DcbFlag::OutxCtsFlow) != 0 ||
      (dcb.Flags & DcbFlag::RtsControlMask) == DcbFlag::RtsControlHandshake)
    tio.c_cflag |= CRTSCTS;
  if ((dcb.Flags & DcbFlag::OutX) != 0)
    tio.c_iflag |= IXON;
  if ((dcb.Flags & DcbFlag::InX) != 0)
    tio.c_iflag |= IXOFF;
  if ((dcb.Flags & DcbFlag::Parity) != 0)
    tio.c_iflag |= INPCK;
}

bool WaitWritable(int fd, int timeoutMs) {
  pollfd entry{fd, POLLOUT, 0};
  return ::poll(&entry, 1, timeoutMs) > 0 && (entry.revents & POLLOUT) != 0;
}

} // namespace

Handle OpenCommDevice(const std::string& path) {
  const std::string device = posix::ResolveDevicePath(path);
  // Never O_CREAT: a path that names no device must not become a file.
  const int fd = ::open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0)
    return InvalidHandle;
  if (!::isatty(fd)) {
    ::close(fd);
    errno = ENOTTY;
    return InvalidHandle;
  }
  // TIOCEXCL keeps other users out but not root; the lock keeps out every
  // program that asks for it, this one included.
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    const int code = errno == EWOULDBLOCK ? EBUSY : errno;
    ::close(fd);
    errno = code;
    return InvalidHandle;
  }
  ::ioctl(fd, TIOCEXCL);
  return fd;
}

bool SetCommState(Handle handle, const Dcb& dcb) {
  termios tio{};
  if (::tcgetattr(Fd(handle), &tio) != 0)
    return false;
  speed_t speed{};
  if (!ToSpeed(dcb.BaudRate, speed))
    return Fail(EINVAL);
  ::cfmakeraw(&tio);
  tio.c_cflag |= CLOCAL | CREAD;
  if (!ApplyCharacterFormat(dcb, tio))
    return Fail(EINVAL);
  ApplyFlowControl(dcb, tio);
  // Reads return at once with whatever is queued.
  tio.c_cc[VMIN] = 0;
  tio.c_cc[VTIME] = 0;
  ::cfsetispeed(&tio, speed);
  ::cfsetospeed(&tio, speed);
  if (::tcsetattr(Fd(handle), TCSANOW, &tio) == 0)
    return true;
  // A pseudo-terminal forces eight bits without parity, and the C library
  // reports the forced change as EINVAL once nothing else changes (on every
  // reopen); ask it only for what it can do.
  if (errno != EINVAL || !IsPseudoTerminal(Fd(handle)))
    return false;
  tio.c_cflag = (tio.c_cflag & ~static_cast<tcflag_t>(CSIZE | PARENB)) | CS8;
  return ::tcsetattr(Fd(handle), TCSANOW, &tio) == 0;
}

bool SetCommTimeouts(Handle handle, const CommTimeouts& /*timeouts*/) {
  // Reads here only ever take what is already queued, so no time-out applies;
  // the call still fails on a handle that is not a terminal.
  termios tio{};
  return ::tcgetattr(Fd(handle), &tio) == 0;
}

bool EscapeCommFunction(Handle handle, std::uint32_t function) {
  int bits = 0;
  unsigned long request = 0;
  switch (function) {
  case EscapeSetRts:
    bits = TIOCM_RTS;
    request = TIOCMBIS;
    break;
  case EscapeClrRts:
    bits = TIOCM_RTS;
    request = TIOCMBIC;
    break;
  case EscapeSetDtr:
    bits = TIOCM_DTR;
    request = TIOCMBIS;
    break;
  case EscapeClrDtr:
    bits = TIOCM_DTR;
    request = TIOCMBIC;
    break;
  default:
    return Fail(EINVAL);
  }
  if (::ioctl(Fd(handle), request, &bits) == 0)
    return true;
  const int code = errno;
  // Only the missing modem lines are forgiven: a pseudo-terminal hung up
  // by its master's close fails with EIO like any vanished device.
  if (code == ENOTTY && IsPseudoTerminal(Fd(handle)))
    return true;
  return Fail(code);
}

bool ClearCommError(Handle handle, std::uint32_t* errors, ComStat* stat) {
  int queued = 0;
  if (::ioctl(Fd(handle), FIONREAD, &queued) != 0)
    return false;
  if (errors)
    *errors = 0;
  if (stat) {
    int pending = 0;
    if (::ioctl(Fd(handle), TIOCOUTQ, &pending) != 0)
      pending = 0;
    *stat = ComStat{0, static_cast<std::uint32_t>(queued), static_cast<std::uint32_t>(pending)};
  }
  return true;
}

bool ReadFile(Handle handle, void* buffer, std::uint32_t size, std::uint32_t* read) {
  *read = 0;
  const ssize_t n = ::read(Fd(handle), buffer, size);
  if (n >= 0) {
    *read = static_cast<std::uint32_t>(n);
    return true;
  }
  return errno == EAGAIN;
}

bool ReadFileWaiting(Handle handle, void* buffer, std::uint32_t size, std::uint32_t* read,
                     std::uint32_t limitMs) {
  *read = 0;
  const std::uint32_t start = GetTickCount();
  pollfd entry{Fd(handle), POLLIN, 0};
  for (;;) {
    const std::uint32_t elapsed = std::min(GetTickCount() - start, limitMs);
    const int ready = ::poll(&entry, 1,
                             static_cast<int>(std::min<std::uint32_t>(
                                 limitMs - elapsed, std::numeric_limits<int>::max())));
    if (ready > 0)
      break;
    if (ready == 0)
      return true;
    if (errno != EINTR)
      return false;
  }
  // A hung-up terminal reports nothing to read; its next read would say why.
  if ((entry.revents & POLLIN) == 0)
    return Fail(EIO);
  return ReadFile(handle, buffer, size, read);
}

bool WriteFile(Handle handle, const void* data, std::uint32_t size, std::uint32_t* written) {
  *written = 0;
  const auto* bytes = static_cast<const unsigned char*>(data);
  std::uint32_t lastProgress = GetTickCount();
  while (*written < size) {
    const ssize_t n = ::write(Fd(handle), bytes + *written, size - *written);
    if (n > 0) {
      *written += static_cast<std::uint32_t>(n);
      lastProgress = GetTickCount();
      continue;
    }
    if (n < 0 && errno != EAGAIN && errno != EINTR)
      return false;
    if (GetTickCount() - lastProgress > WriteStallLimitMs)
      return Fail(ETIMEDOUT);
    WaitWritable(Fd(handle), 100);
  }
  return true;
}

bool FlushFileBuffers(Handle handle, std::uint32_t limitMs) {
  return posix::DrainOutput(Fd(handle), limitMs, ::tcdrain);
}

bool PurgeComm(Handle handle, std::uint32_t flags) {
  const bool output = (flags & (PurgeTxAbort | PurgeTxClear)) != 0;
  const bool input = (flags & (PurgeRxAbort | PurgeRxClear)) != 0;
  if (!output && !input)
    return true;
  return ::tcflush(Fd(handle), output && input ? TCIOFLUSH : output ? TCOFLUSH : TCIFLUSH) == 0;
}

bool CloseHandle(Handle handle) {
  ::ioctl(Fd(handle), TIOCNXCL);
  // A drain left behind on a stalled device holds the open file, and with
  // it the lock, until the driver answers; the port must open again now.
  ::flock(Fd(handle), LOCK_UN);
  return ::close(Fd(handle)) == 0;
}

std::string CommOpenFailureHint(std::uint32_t code) {
  switch (code) {
  // Serial devices belong to the dialout group on Debian and its kin.
  case EACCES:
  case EPERM:
    return "the user must be in the dialout group";
  // The lock and TIOCEXCL both report a device already held as EBUSY.
  case EBUSY:
    return "another program holds the port";
  // A COM link whose device is gone: an adapter that is unplugged.
  case ENOENT:
  case ENXIO:
  case ENODEV:
    return NotConnectedHint;
  case ENOTTY:
    return "it is not a serial device";
  default:
    return {};
  }
}

CommFailure ClassifyCommFailure(std::uint32_t code) {
  switch (code) {
  // A tty whose device went away is hung up: every call then fails with
  // EIO; a device removed under an open file gives ENXIO or ENODEV.
  case EIO:
  case ENXIO:
  case ENODEV:
    return CommFailure::Gone;
  // Set by the write and the drain here when the device takes nothing.
  case ETIMEDOUT:
    return CommFailure::Stalled;
  default:
    return CommFailure::Other;
  }
}

} // namespace platform
