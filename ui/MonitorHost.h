#pragma once

#include <string>

class TDatabase;
class TInstrumentLine;
class TLineTurns;
struct TReading;

// What the monitor windows need of the main window: the one line every
// exchange takes, its numbered log, and the settings that hold their layout
// and limits. The monitors reach the main window through this alone.
class TMonitorHost {
public:
  // The window's line, open while a port is; a lost device closes the port
  // before its error goes on.
  virtual TInstrumentLine& InstrumentLine() = 0;
  // SendAndLog: one exchange, numbered log line; raises on exchange errors.
  // reading receives what the line made of the exchange.
  virtual std::string SendAndLog(const std::string& text, TReading& reading) = 0;
  // A line of the log as is, unnumbered.
  virtual void AppendOutput(const std::string& text) = 0;
  // Have the panel monitor load or save its layout in the settings.
  virtual void LoadMonitorLayout() = 0;
  virtual void SaveMonitorLayout() = 0;
  // The subkey Limits, saved with the program's other settings; null when it
  // could not be made.
  virtual TDatabase* LimitSettings() = 0;
  // The turns of the line, which each monitor's poll takes.
  virtual TLineTurns& LineTurns() = 0;

protected:
  ~TMonitorHost() = default;
};
