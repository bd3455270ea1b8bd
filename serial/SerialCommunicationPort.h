#pragma once

#include "platform/CommDevice.h"

#include <cstddef>
#include <cstdint>
#include <string>

// One serial device, owned for as long as a port is open: fixed line format
// (8 data bits, even parity, one stop bit, no handshaking), modem lines
// driven only by SetRTS and SetDTR.
class TSerialCommunicationPort {
public:
  explicit TSerialCommunicationPort(std::string path);
  ~TSerialCommunicationPort();
  TSerialCommunicationPort(const TSerialCommunicationPort&) = delete;
  TSerialCommunicationPort& operator=(const TSerialCommunicationPort&) = delete;

  void Open();
  void Close();
  bool IsOpen() const { return Handle != platform::InvalidHandle; }
  // The calls of an exchange raise TDeviceLost, the line closed, when the
  // device is gone or takes no more data; other failures of Write, Drain
  // and ReadAvailable go unreported.
  void Write(const std::string& data);
  // Returns once the last `written` bytes have left, as far as the driver
  // can tell; a device that has not taken them within their wire time and
  // a few seconds more is lost.
  void Drain(std::size_t written);
  std::string ReadAvailable();
  // How many received bytes are queued.
  std::size_t Queued();
  // What is queued or, with nothing queued, what arrives first within
  // limitMs; empty when nothing came.
  std::string ReadArriving(std::uint32_t limitMs);
  void SetRTS(bool on);
  void SetDTR(bool on);
  void SetBaudRate(std::uint32_t rate);

  const std::string& PortPath() const { return Path; }
  const platform::Dcb& LineSettings() const { return Line; }
  const platform::CommTimeouts& Timeouts() const { return Times; }

private:
  void Escape(std::uint32_t function);
  // Raises TDeviceLost, the line closed, when code means the device is lost.
  void CheckLost(std::uint32_t code);
  // "%s is not available", then on a line of its own why the open failed.
  std::string NotAvailableMessage(std::uint32_t code) const;

  std::string Path;
  platform::Handle Handle = platform::InvalidHandle;
  platform::CommTimeouts Times{};
  platform::Dcb Line{};
};
