#pragma once

#include <string>

class TDatabase;
class TK4410RProtocol;
class TLogRecording;

// What the monitor windows need of the main window: its open line, its road
// of exchanges into the log, its session record and the settings that hold
// their layout and limits. The monitors reach the main window through this
// alone.
class TMonitorHost {
public:
  // Null while no port is open.
  virtual TK4410RProtocol* OpenProtocol() = 0;
  // One exchange, numbered log line; raises on exchange errors.
  virtual std::string SendAndLog(const std::string& text) = 0;
  // The open protocol's exchange of its Request, in the session record once
  // done; a lost device closes the port before its error goes on.
  virtual void Exchange() = 0;
  // A line of the log as is, unnumbered.
  virtual void AppendOutput(const std::string& text) = 0;
  virtual TLogRecording& SessionRecord() = 0;
  // Have the panel monitor load or save its layout in the settings.
  virtual void LoadMonitorLayout() = 0;
  virtual void SaveMonitorLayout() = 0;
  // The subkey Limits, saved with the program's other settings; null when it
  // could not be made.
  virtual TDatabase* LimitSettings() = 0;

protected:
  ~TMonitorHost() = default;
};
