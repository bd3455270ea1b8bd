#include "line/InstrumentLine.h"

#include "line/ExchangeTrace.h"
#include "platform/TickCounter.h"
#include "serial/DeviceLost.h"

namespace {

constexpr std::uint32_t Baudrate = 9600;

} // namespace

TInstrumentLine::TInstrumentLine(std::unique_ptr<TSessionRecord> record, TLineHandlers handlers,
                                 char decimalSeparator)
    : Session(std::move(record)), Handlers(std::move(handlers)), Separator(decimalSeparator) {}

TInstrumentLine::~TInstrumentLine() {
  Close();
}

void TInstrumentLine::Open(const std::string& portName, const std::string& devicePath,
                           bool rtsActiveLow, TAnswerEnd answerEnd) {
  Close();
  Instrument = std::make_unique<TK4410RProtocol>(devicePath, Baudrate, rtsActiveLow);
  Instrument->AnswerEnd = answerEnd;
  PortName = portName;
  Event(SessionKind::Open);
}

void TInstrumentLine::Close() {
  if (!Instrument)
    return;
  Event(SessionKind::Close);
  Instrument.reset();
  PortName.clear();
}

bool TInstrumentLine::IsOpen() const {
  return Instrument && Instrument->Port->IsOpen();
}

TReading TInstrumentLine::Unsent(const std::string& command) const {
  TReading reading;
  reading.Started = Session->Now();
  reading.Port = PortName;
  reading.Command = command;
  reading.Lost = true;
  return reading;
}

TReading TInstrumentLine::Exchange(const std::string& command) {
  TReading reading = Unsent(command);
  if (!IsOpen())
    return reading;
  reading.Lost = false;
  const std::uint32_t tick = platform::GetTickCount();
  RunProtocol(command);
  reading.Answer = Instrument->Answer;
  reading.Ms = platform::GetTickCount() - tick;
  Recorded(
      [&] { Session->Exchange(reading.Started, PortName, command, reading.Answer, reading.Ms); });
  reading.Shown = ShownOf(reading.Answer, command, Separator);
  return reading;
}

void TInstrumentLine::RunProtocol(const std::string& command) {
  if (Trace != nullptr)
    Trace->Begin(*Instrument, PortName + " " + command);
  try {
    Instrument->Request = command;
    Instrument->Transact();
  } catch (const TDeviceLost&) {
    EndTrace();
    if (Handlers.Lost)
      Handlers.Lost();
    throw;
  } catch (...) {
    EndTrace();
    throw;
  }
  EndTrace();
}

void TInstrumentLine::EndTrace() {
  if (Trace != nullptr)
    Trace->End(*Instrument);
}

void TInstrumentLine::Event(std::string_view kind, std::initializer_list<std::string_view> fields) {
  Recorded([&] { Session->Event(PortName, kind, fields); });
}

template <class F> void TInstrumentLine::Recorded(F&& write) {
  try {
    write();
  } catch (const std::exception& error) {
    // The record has switched itself off; only this failure is told.
    if (Handlers.RecordFailed)
      Handlers.RecordFailed(error.what());
  }
}

TAnswerEnd AnswerEndOf(std::int32_t setting) {
  return setting == 1 ? TAnswerEnd::Line : TAnswerEnd::Wait;
}
