#include "platform/CommDevice.h"

#include <algorithm>
#include <bit>
#include <cstddef>
#include <windows.h>

namespace platform {

namespace {

// The portable records are the Win32 ones byte for byte, so they cross by
// bit_cast; the checks below prove that at compile time.
static_assert(sizeof(Dcb) == sizeof(DCB));
static_assert(offsetof(Dcb, wReserved) == offsetof(DCB, wReserved));
static_assert(offsetof(Dcb, ByteSize) == offsetof(DCB, ByteSize));
static_assert(offsetof(Dcb, EvtChar) == offsetof(DCB, EvtChar));
static_assert(offsetof(Dcb, wReserved1) == offsetof(DCB, wReserved1));
static_assert(sizeof(CommTimeouts) == sizeof(COMMTIMEOUTS));
static_assert(sizeof(ComStat) == sizeof(COMSTAT));

constexpr bool FlagBitsMatch() {
  DCB dcb{};
  dcb.fBinary = 1;
  dcb.fOutxDsrFlow = 1;
  dcb.fDtrControl = 3;
  dcb.fInX = 1;
  dcb.fRtsControl = RTS_CONTROL_HANDSHAKE;
  dcb.fAbortOnError = 1;
  return std::bit_cast<Dcb>(dcb).Flags ==
         (DcbFlag::Binary | DcbFlag::OutxDsrFlow | DcbFlag::DtrControlMask | DcbFlag::InX |
          DcbFlag::RtsControlHandshake | DcbFlag::AbortOnError);
}
static_assert(FlagBitsMatch());

HANDLE Native(Handle handle) {
  return reinterpret_cast<HANDLE>(handle);
}

} // namespace

Handle OpenCommDevice(const std::string& path) {
  const HANDLE handle = ::CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                      CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  return reinterpret_cast<Handle>(handle);
}

bool SetCommState(Handle handle, const Dcb& dcb) {
  DCB native = std::bit_cast<DCB>(dcb);
  return ::SetCommState(Native(handle), &native) != FALSE;
}

bool SetCommTimeouts(Handle handle, const CommTimeouts& timeouts) {
  COMMTIMEOUTS native = std::bit_cast<COMMTIMEOUTS>(timeouts);
  return ::SetCommTimeouts(Native(handle), &native) != FALSE;
}

bool EscapeCommFunction(Handle handle, std::uint32_t function) {
  return ::EscapeCommFunction(Native(handle), function) != FALSE;
}

bool ClearCommError(Handle handle, std::uint32_t* errors, ComStat* stat) {
  DWORD nativeErrors = 0;
  COMSTAT nativeStat{};
  if (!::ClearCommError(Native(handle), &nativeErrors, &nativeStat))
    return false;
  if (errors)
    *errors = nativeErrors;
  if (stat)
    *stat = std::bit_cast<ComStat>(nativeStat);
  return true;
}

bool ReadFile(Handle handle, void* buffer, std::uint32_t size, std::uint32_t* read) {
  DWORD count = 0;
  const bool ok = ::ReadFile(Native(handle), buffer, size, &count, nullptr) != FALSE;
  *read = count;
  return ok;
}

bool ReadFileWaiting(Handle handle, void* buffer, std::uint32_t size, std::uint32_t* read,
                     std::uint32_t limitMs) {
  *read = 0;
  auto* bytes = static_cast<char*>(buffer);
  DWORD errors = 0;
  COMSTAT stat{};
  if (size == 0)
    return true;
  if (!::ClearCommError(Native(handle), &errors, &stat))
    return false;
  if (stat.cbInQue == 0) {
    // One byte, under time-outs that wait for it: a longer read would wait
    // for all its bytes under Wine. The port's own time-outs are put back.
    COMMTIMEOUTS own{};
    if (!::GetCommTimeouts(Native(handle), &own))
      return false;
    COMMTIMEOUTS waiting{MAXDWORD, MAXDWORD, std::max<DWORD>(limitMs, 1), 0, 0};
    if (!::SetCommTimeouts(Native(handle), &waiting))
      return false;
    DWORD first = 0;
    const bool ok = ::ReadFile(Native(handle), bytes, 1, &first, nullptr) != FALSE;
    const DWORD code = ::GetLastError();
    const bool restored = ::SetCommTimeouts(Native(handle), &own) != FALSE;
    if (!ok) {
      ::SetLastError(code);
      return false;
    }
    *read = first;
    if (!restored || first == 0 || !::ClearCommError(Native(handle), &errors, &stat))
      return restored;
  }
  // What is queued now, at once.
  DWORD count = 0;
  const DWORD more = std::min<DWORD>(stat.cbInQue, size - *read);
  const bool ok =
      more == 0 || ::ReadFile(Native(handle), bytes + *read, more, &count, nullptr) != FALSE;
  *read += count;
  return ok;
}

bool WriteFile(Handle handle, const void* data, std::uint32_t size, std::uint32_t* written) {
  DWORD count = 0;
  const bool ok = ::WriteFile(Native(handle), data, size, &count, nullptr) != FALSE;
  *written = count;
  return ok;
}

bool FlushFileBuffers(Handle handle, std::uint32_t limitMs) {
  // The flush has no time limit of its own, so the driver's queue is
  // watched empty first; a port whose queue never empties fails then.
  const DWORD start = ::GetTickCount();
  for (;;) {
    DWORD errors = 0;
    COMSTAT stat{};
    if (!::ClearCommError(Native(handle), &errors, &stat))
      return false;
    if (stat.cbOutQue == 0)
      break;
    if (::GetTickCount() - start > limitMs) {
      ::SetLastError(ERROR_TIMEOUT);
      return false;
    }
    ::Sleep(1);
  }
  return ::FlushFileBuffers(Native(handle)) != FALSE;
}

bool PurgeComm(Handle handle, std::uint32_t flags) {
  return ::PurgeComm(Native(handle), flags) != FALSE;
}

bool CloseHandle(Handle handle) {
  return ::CloseHandle(Native(handle)) != FALSE;
}

std::string CommOpenFailureHint(std::uint32_t code) {
  switch (code) {
  // A COM port is opened without sharing, so a port in use refuses access.
  case ERROR_ACCESS_DENIED:
  case ERROR_SHARING_VIOLATION:
    return "another program holds the port";
  case ERROR_FILE_NOT_FOUND:
  case ERROR_PATH_NOT_FOUND:
    return NotConnectedHint;
  default:
    return {};
  }
}

CommFailure ClassifyCommFailure(std::uint32_t code) {
  switch (code) {
  // What USB serial drivers give once their device is removed under an
  // open handle; access is refused too, on a handle that was valid.
  case ERROR_BAD_COMMAND:
  case ERROR_GEN_FAILURE:
  case ERROR_DEVICE_REMOVED:
  case ERROR_ACCESS_DENIED:
  case ERROR_DEVICE_NOT_CONNECTED:
  case ERROR_FILE_NOT_FOUND:
    return CommFailure::Gone;
  case ERROR_TIMEOUT:
  case ERROR_SEM_TIMEOUT:
    return CommFailure::Stalled;
  default:
    return CommFailure::Other;
  }
}

} // namespace platform
