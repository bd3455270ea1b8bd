#pragma once

#include <cstdint>
#include <string>

// The serial-device calls of the system, with their Win32 meaning. Failures
// return false (or InvalidHandle) and leave the code in GetLastError.
namespace platform {

using Handle = std::intptr_t;
inline constexpr Handle InvalidHandle = -1;

// The device-control block, laid out as the Win32 DCB (28 bytes); the flag
// bit-fields of the original are the bits of Flags.
struct Dcb {
  std::uint32_t DCBlength;
  std::uint32_t BaudRate;
  std::uint32_t Flags;
  std::uint16_t wReserved;
  std::uint16_t XonLim;
  std::uint16_t XoffLim;
  std::uint8_t ByteSize;
  std::uint8_t Parity;
  std::uint8_t StopBits;
  char XonChar;
  char XoffChar;
  char ErrorChar;
  char EofChar;
  char EvtChar;
  std::uint16_t wReserved1;
};
static_assert(sizeof(Dcb) == 28);

namespace DcbFlag {
inline constexpr std::uint32_t Binary = 1U << 0;
inline constexpr std::uint32_t Parity = 1U << 1;
inline constexpr std::uint32_t OutxCtsFlow = 1U << 2;
inline constexpr std::uint32_t OutxDsrFlow = 1U << 3;
inline constexpr std::uint32_t DtrControlMask = 3U << 4;
inline constexpr std::uint32_t DsrSensitivity = 1U << 6;
inline constexpr std::uint32_t TXContinueOnXoff = 1U << 7;
inline constexpr std::uint32_t OutX = 1U << 8;
inline constexpr std::uint32_t InX = 1U << 9;
inline constexpr std::uint32_t ErrorChar = 1U << 10;
inline constexpr std::uint32_t Null = 1U << 11;
inline constexpr std::uint32_t RtsControlMask = 3U << 12;
inline constexpr std::uint32_t RtsControlHandshake = 2U << 12;
inline constexpr std::uint32_t AbortOnError = 1U << 14;
} // namespace DcbFlag

inline constexpr std::uint8_t NoParity = 0, OddParity = 1, EvenParity = 2, MarkParity = 3,
                              SpaceParity = 4;
inline constexpr std::uint8_t OneStopBit = 0, One5StopBits = 1, TwoStopBits = 2;

struct CommTimeouts {
  std::uint32_t ReadIntervalTimeout;
  std::uint32_t ReadTotalTimeoutMultiplier;
  std::uint32_t ReadTotalTimeoutConstant;
  std::uint32_t WriteTotalTimeoutMultiplier;
  std::uint32_t WriteTotalTimeoutConstant;
};

struct ComStat {
  std::uint32_t Flags;
  std::uint32_t cbInQue;
  std::uint32_t cbOutQue;
};

// EscapeCommFunction codes (SETRTS, CLRRTS, SETDTR, CLRDTR).
inline constexpr std::uint32_t EscapeSetRts = 3, EscapeClrRts = 4, EscapeSetDtr = 5,
                               EscapeClrDtr = 6;

// CreateFileA(path, GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
// FILE_ATTRIBUTE_NORMAL, nullptr): exclusive, synchronous.
Handle OpenCommDevice(const std::string& path);
bool SetCommState(Handle handle, const Dcb& dcb);
bool SetCommTimeouts(Handle handle, const CommTimeouts& timeouts);
bool EscapeCommFunction(Handle handle, std::uint32_t function);
bool ClearCommError(Handle handle, std::uint32_t* errors, ComStat* stat);
bool ReadFile(Handle handle, void* buffer, std::uint32_t size, std::uint32_t* read);
// ReadFile under the time-outs {MAXDWORD, MAXDWORD, limitMs}: returns at
// once with what is queued (up to size bytes) or, with nothing queued, as
// soon as bytes arrive, with those; *read is 0 when none came within
// limitMs. The caller sleeps meanwhile instead of asking the queue again.
bool ReadFileWaiting(Handle handle, void* buffer, std::uint32_t size, std::uint32_t* read,
                     std::uint32_t limitMs);
// Returns once the bytes are with the driver, which may still be sending them.
bool WriteFile(Handle handle, const void* data, std::uint32_t size, std::uint32_t* written);
// FlushFileBuffers on the port: returns once the bytes written have left,
// as far as the driver can tell (some report the last stop bit, some only
// that their buffer is empty). A drain that does not end within about
// limitMs fails with a code ClassifyCommFailure calls Stalled, so a device
// (or a driver) that stopped taking data cannot hold the caller for good.
bool FlushFileBuffers(Handle handle, std::uint32_t limitMs);
// PurgeComm flags.
inline constexpr std::uint32_t PurgeTxAbort = 0x1, PurgeRxAbort = 0x2, PurgeTxClear = 0x4,
                               PurgeRxClear = 0x8;
bool PurgeComm(Handle handle, std::uint32_t flags);
bool CloseHandle(Handle handle);

// What a failed call on an open port says about the device: gone (unplugged,
// hung up by the system), stalled (it takes no more data), or neither.
enum class CommFailure { Other, Gone, Stalled };
CommFailure ClassifyCommFailure(std::uint32_t code);

inline constexpr const char* NotConnectedHint = "the device is not connected";
inline constexpr const char* StalledHint = "the device stopped taking data";

// For the usual causes of an OpenCommDevice failure with that last-error
// code, what they mean at a serial port and what to do about it; empty for
// any other code.
std::string CommOpenFailureHint(std::uint32_t code);

} // namespace platform
