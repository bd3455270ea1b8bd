#include "serial/SerialCommunicationPort.h"

#include "base/Exception.h"
#include "base/Format.h"
#include "base/OSError.h"
#include "platform/SystemError.h"
#include "serial/DeviceLost.h"
#include "serial/WireTime.h"

TSerialCommunicationPort::TSerialCommunicationPort(std::string path) : Path(std::move(path)) {
  constexpr std::uint32_t maxDword = 0xFFFFFFFF;
  Times = platform::CommTimeouts{maxDword, maxDword, 1000, 0, 0};
  Line.DCBlength = sizeof(platform::Dcb);
  Line.BaudRate = 4800;
  Line.Flags = platform::DcbFlag::Binary | platform::DcbFlag::Parity;
  Line.ByteSize = 8;
  Line.Parity = platform::EvenParity;
  Line.StopBits = platform::OneStopBit;
}

TSerialCommunicationPort::~TSerialCommunicationPort() {
  Close();
}

void TSerialCommunicationPort::Open() {
  Handle = platform::OpenCommDevice(Path);
  if (!IsOpen())
    throw Exception(NotAvailableMessage(platform::GetLastError()));
  if (!platform::SetCommState(Handle, Line) || !platform::SetCommTimeouts(Handle, Times))
    throw Exception(Format("Cannot init %s.", Path) + "\r\n" +
                    OSErrorMessage(platform::GetLastError()));
}

std::string TSerialCommunicationPort::NotAvailableMessage(std::uint32_t code) const {
  std::string message = Format("%s is not available", Path);
  const std::string reason = SystemMessageText(code);
  if (reason.empty())
    return message;
  const std::string hint = platform::CommOpenFailureHint(code);
  return message + "\r\n" + reason + (hint.empty() ? "" : ": " + hint);
}

void TSerialCommunicationPort::Close() {
  if (!IsOpen())
    return;
  platform::CloseHandle(Handle);
  Handle = platform::InvalidHandle;
}

void TSerialCommunicationPort::CheckLost(std::uint32_t code) {
  const platform::CommFailure failure = platform::ClassifyCommFailure(code);
  if (failure == platform::CommFailure::Other)
    return;
  const std::string reason = SystemMessageText(code);
  const char* hint =
      failure == platform::CommFailure::Gone ? platform::NotConnectedHint : platform::StalledHint;
  // Bytes that can never leave would hold the close for the driver's
  // closing wait.
  platform::PurgeComm(Handle, platform::PurgeTxAbort | platform::PurgeTxClear);
  Close();
  throw TDeviceLost(Format("%s is not available", Path) + "\r\n" +
                    (reason.empty() ? "" : reason + ": ") + hint);
}

void TSerialCommunicationPort::Write(const std::string& data) {
  if (!IsOpen())
    return;
  std::uint32_t written = 0;
  if (!platform::WriteFile(Handle, data.data(), static_cast<std::uint32_t>(data.size()), &written))
    CheckLost(platform::GetLastError());
}

void TSerialCommunicationPort::Drain(std::size_t written) {
  // Wire time is the least a drain takes; the margin covers drivers that
  // send in bursts and a machine busy elsewhere.
  constexpr std::uint32_t StallMarginMs = 3000;
  if (!IsOpen())
    return;
  const std::uint32_t limit = WireTimeMs(written, Line.BaudRate) + StallMarginMs;
  if (!platform::FlushFileBuffers(Handle, limit))
    CheckLost(platform::GetLastError());
}

std::size_t TSerialCommunicationPort::Queued() {
  std::uint32_t errors = 0;
  platform::ComStat stat{};
  if (!platform::ClearCommError(Handle, &errors, &stat)) {
    if (IsOpen())
      CheckLost(platform::GetLastError());
    return 0;
  }
  return stat.cbInQue;
}

std::string TSerialCommunicationPort::ReadAvailable() {
  const std::size_t queued = Queued();
  if (queued == 0)
    return {};
  std::string data(queued, '\0');
  std::uint32_t read = 0;
  if (!platform::ReadFile(Handle, data.data(), static_cast<std::uint32_t>(queued), &read)) {
    CheckLost(platform::GetLastError());
    return {};
  }
  data.resize(read);
  return data;
}

std::string TSerialCommunicationPort::ReadArriving(std::uint32_t limitMs) {
  // More than a one-line answer; a longer one takes a read or two more.
  constexpr std::uint32_t ChunkBytes = 4096;
  if (!IsOpen())
    return {};
  std::string data(ChunkBytes, '\0');
  std::uint32_t read = 0;
  if (!platform::ReadFileWaiting(Handle, data.data(), ChunkBytes, &read, limitMs)) {
    CheckLost(platform::GetLastError());
    return {};
  }
  data.resize(read);
  return data;
}

void TSerialCommunicationPort::Escape(std::uint32_t function) {
  if (!IsOpen())
    throw Exception("Could not perform this operation on a closed port");
  if (!platform::EscapeCommFunction(Handle, function)) {
    const std::uint32_t code = platform::GetLastError();
    CheckLost(code);
    platform::SetLastError(code);
    RaiseLastOSError();
  }
}

void TSerialCommunicationPort::SetRTS(bool on) {
  Escape(on ? platform::EscapeSetRts : platform::EscapeClrRts);
}

void TSerialCommunicationPort::SetDTR(bool on) {
  Escape(on ? platform::EscapeSetDtr : platform::EscapeClrDtr);
}

void TSerialCommunicationPort::SetBaudRate(std::uint32_t rate) {
  if (IsOpen())
    throw Exception("Could not change baud rate on a open port");
  Line.BaudRate = rate;
}
