#pragma once

#include "cli/Reading.h"
#include "serial/K4410RProtocol.h"

#include <cstdint>
#include <memory>
#include <string>

class TExchangeTrace;
class TSessionLog;

// The instrument on one COM port, opened by its name as the window opens
// it (9600 baud, RTS idle, DTR up), and opened again under the same name
// after the adapter was unplugged. The session record shows every open and
// its close, however the program ends.
class TInstrumentLine {
public:
  // session outlives the line.
  TInstrumentLine(const std::string& portName, bool rtsActiveLow, TSessionLog& session);
  ~TInstrumentLine() { Close(); }
  TInstrumentLine(const TInstrumentLine&) = delete;
  TInstrumentLine& operator=(const TInstrumentLine&) = delete;

  const std::string& Name() const { return PortName; }
  // False also after the device was lost, until Close.
  bool IsOpen() const;
  // Raises the program's own message, with its hint, when the port cannot
  // be opened.
  void Open();
  // After a lost device too: the record's close comes after its error.
  void Close();

  // One exchange. When the device is gone TDeviceLost reaches the caller;
  // trace, when given, sees every step.
  TReading Exchange(const std::string& command, TExchangeTrace* trace);

private:
  std::string PortName; // COMn
  std::string DevicePath;
  bool RtsActiveLow;
  TSessionLog& Session;
  std::unique_ptr<TK4410RProtocol> Protocol;
};
