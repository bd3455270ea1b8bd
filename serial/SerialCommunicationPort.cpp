#include "serial/SerialCommunicationPort.h"

#include "base/Exception.h"
#include "base/Format.h"
#include "base/OSError.h"
#include "platform/SystemError.h"

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

void TSerialCommunicationPort::Write(const std::string& data) {
  if (!IsOpen())
    return;
  std::uint32_t written = 0;
  platform::WriteFile(Handle, data.data(), static_cast<std::uint32_t>(data.size()), &written);
}

std::string TSerialCommunicationPort::ReadAvailable() {
  std::uint32_t errors = 0;
  platform::ComStat stat{};
  if (!platform::ClearCommError(Handle, &errors, &stat) || stat.cbInQue == 0)
    return {};
  std::string data(stat.cbInQue, '\0');
  std::uint32_t read = 0;
  if (!platform::ReadFile(Handle, data.data(), stat.cbInQue, &read))
    return {};
  data.resize(read);
  return data;
}

void TSerialCommunicationPort::Escape(std::uint32_t function) {
  if (!IsOpen())
    throw Exception("Could not perform this operation on a closed port");
  if (!platform::EscapeCommFunction(Handle, function))
    RaiseLastOSError();
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
