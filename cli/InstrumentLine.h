#pragma once

#include "cli/Reading.h"
#include "serial/K4410RProtocol.h"

#include <cstdint>
#include <memory>
#include <string>

class TExchangeTrace;

// The instrument on one COM port, opened by its name as the window opens
// it (9600 baud, RTS idle, DTR up), and opened again under the same name
// after the adapter was unplugged.
class TInstrumentLine {
public:
  TInstrumentLine(const std::string& portName, bool rtsActiveLow);

  const std::string& Name() const { return PortName; }
  bool IsOpen() const { return Protocol != nullptr; }
  // Raises the program's own message, with its hint, when the port cannot
  // be opened.
  void Open();
  void Close() { Protocol.reset(); }

  // One exchange. When the device is gone the line is closed and
  // TDeviceLost reaches the caller; trace, when given, sees every step.
  TReading Exchange(const std::string& command, TExchangeTrace* trace);

private:
  std::string PortName; // COMn
  std::string DevicePath;
  bool RtsActiveLow;
  std::unique_ptr<TK4410RProtocol> Protocol;
};
