#pragma once

#include "line/Reading.h"
#include "platform/Locale.h"
#include "record/SessionRecord.h"
#include "serial/K4410RProtocol.h"

#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>

class TExchangeTrace;

// What the owner of a line hears from it.
struct TLineHandlers {
  // A session line could not be written: recording is off from then on,
  // until it is switched on again, so this is heard once per failure.
  std::function<void(const std::string& message)> RecordFailed;
  // The device is lost; runs before the line closes (the window closes its
  // port through it, so the record keeps the window's order of events).
  std::function<void()> Lost;
};

// The one road of every exchange, the window's and the command-line
// program's: the instrument's protocol on one COM port, each exchange timed,
// written to the session record before it returns and made into one
// reading. A lost device closes the line, and its TDeviceLost goes on to the
// caller. A session line that cannot be written never stops an exchange.
class TInstrumentLine {
public:
  // decimalSeparator: the user's, read here once; the readings are read
  // with it, and whatever reads or shows their numbers takes it from here.
  TInstrumentLine(std::unique_ptr<TSessionRecord> record, TLineHandlers handlers,
                  char decimalSeparator = platform::DecimalSeparator());
  ~TInstrumentLine();
  TInstrumentLine(const TInstrumentLine&) = delete;
  TInstrumentLine& operator=(const TInstrumentLine&) = delete;

  // Opens the device at the instrument's 9600 baud and records "open";
  // raises as the protocol does, the line left closed.
  void Open(const std::string& portName, const std::string& devicePath, bool rtsActiveLow);
  // Records "close" and closes the line, if it is open; the port's name is
  // forgotten.
  void Close();
  bool IsOpen() const { return Instrument != nullptr; }
  // The open protocol; null while the line is closed.
  TK4410RProtocol* Protocol() const { return Instrument.get(); }
  // The COM name on every line of the record: the port opened last, also
  // once it was lost, so what follows the loss names it; empty after Close.
  const std::string& Port() const { return PortName; }

  // One exchange of command, to which the protocol adds its line end. On a
  // closed line nothing is sent and the reading is a lost one.
  TReading Exchange(const std::string& command);
  // A line of the session record at this moment.
  void Event(std::string_view kind, std::initializer_list<std::string_view> fields = {});

  TSessionRecord& Record() { return *Session; }
  void UseRecord(std::unique_ptr<TSessionRecord> record) { Session = std::move(record); }
  // Sees every exchange's steps from now on; null for none.
  void SetTrace(TExchangeTrace* trace) { Trace = trace; }
  char DecimalSeparator() const { return Separator; }

private:
  void Transact(const std::string& command);
  void EndTrace();
  // Records "close" and lets go of the protocol, the name kept.
  void Release();
  template <class F> void Recorded(F&& write);

  std::unique_ptr<TSessionRecord> Session;
  TLineHandlers Handlers;
  char Separator;
  std::unique_ptr<TK4410RProtocol> Instrument;
  std::string PortName;
  TExchangeTrace* Trace = nullptr;
};
