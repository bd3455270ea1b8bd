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
  // The device is lost: its port is closed, and this runs before the error
  // goes on to the caller (the window closes its port through it).
  std::function<void()> Lost;
};

// The one road of every exchange, the window's and the command-line
// program's: the instrument's protocol on one COM port, each exchange timed,
// written to the session record before it returns and made into one
// reading. A lost device leaves the line closed to exchanges, and its
// TDeviceLost goes on to the caller, who records what it makes of it before
// Close records the close, unless its Lost handler closes the line (the
// window's does), when the close comes first. A session line that cannot be written never
// stops an exchange.
class TInstrumentLine {
public:
  // decimalSeparator: the user's, read here once; the readings are read
  // with it, and whatever reads or shows their numbers takes it from here.
  TInstrumentLine(std::unique_ptr<TSessionRecord> record, TLineHandlers handlers,
                  char decimalSeparator = platform::DecimalSeparator());
  // A line still open, or lost and not yet closed, is closed: the record
  // shows every open with its close, however the program ends.
  ~TInstrumentLine();
  TInstrumentLine(const TInstrumentLine&) = delete;
  TInstrumentLine& operator=(const TInstrumentLine&) = delete;

  // Closes the line as Close does, then opens the device at the
  // instrument's 9600 baud and records "open"; raises as the protocol does,
  // the line left closed. Its exchanges end their answers as answerEnd says.
  void Open(const std::string& portName, const std::string& devicePath, bool rtsActiveLow,
            TAnswerEnd answerEnd = TAnswerEnd::Wait);
  // Records "close" and lets go of the protocol, if there is one, open or
  // lost; the port's name is forgotten.
  void Close();
  // False while no port is open, and once its device was lost.
  bool IsOpen() const;
  // The protocol, null after Close.
  TK4410RProtocol* Protocol() const { return Instrument.get(); }
  // The COM name on every line of the record: the port opened last, until
  // Close, so what follows a loss names it until a Lost handler closes the
  // line; empty while closed.
  const std::string& Port() const { return PortName; }

  // One exchange of command, to which the protocol adds its line end. On a
  // closed line nothing is sent and the reading is a lost one.
  TReading Exchange(const std::string& command);
  // The reading of a command that was not exchanged: a lost one.
  TReading Unsent(const std::string& command) const;
  // A line of the session record at this moment.
  void Event(std::string_view kind, std::initializer_list<std::string_view> fields = {});

  TSessionRecord& Record() { return *Session; }
  void UseRecord(std::unique_ptr<TSessionRecord> record) { Session = std::move(record); }
  // Sees every exchange's steps from now on; null for none.
  void SetTrace(TExchangeTrace* trace) { Trace = trace; }
  char DecimalSeparator() const { return Separator; }

private:
  // The protocol's exchange of command, traced; a lost device runs
  // Handlers.Lost before its error goes on.
  void RunProtocol(const std::string& command);
  void EndTrace();
  template <class F> void Recorded(F&& write);

  std::unique_ptr<TSessionRecord> Session;
  TLineHandlers Handlers;
  char Separator;
  std::unique_ptr<TK4410RProtocol> Instrument;
  std::string PortName;
  TExchangeTrace* Trace = nullptr;
};

// The answer end the value "Answer End" of the subkey Line names: 1 the
// line end, anything else the fixed wait.
TAnswerEnd AnswerEndOf(std::int32_t setting);
