#include "cli/InstrumentLine.h"

#include "cli/ExchangeTrace.h"
#include "cli/SessionLog.h"
#include "platform/LocalTime.h"
#include "platform/TickCounter.h"
#include "record/SessionRecord.h"
#include "serial/SerialPort.h"

namespace {

constexpr std::uint32_t Baudrate = 9600;

} // namespace

TInstrumentLine::TInstrumentLine(const std::string& portName, bool rtsActiveLow,
                                 TSessionLog& session)
    : RtsActiveLow(rtsActiveLow), Session(session) {
  const TSerialPort port(TSerialPort::PortNumberFromName(portName), "");
  PortName = port.Name;
  DevicePath = port.DevicePath();
}

bool TInstrumentLine::IsOpen() const {
  return Protocol && Protocol->Port->IsOpen();
}

void TInstrumentLine::Open() {
  Close();
  Protocol = std::make_unique<TK4410RProtocol>(DevicePath, Baudrate, RtsActiveLow);
  Session.Event(PortName, SessionKind::Open);
}

void TInstrumentLine::Close() {
  if (!Protocol)
    return;
  Protocol.reset();
  Session.Event(PortName, SessionKind::Close);
}

TReading TInstrumentLine::Exchange(const std::string& command, TExchangeTrace* trace) {
  TReading reading;
  reading.Started = platform::CurrentLocalTime();
  reading.Port = PortName;
  reading.Command = command;
  if (!IsOpen()) {
    reading.Lost = true;
    return reading;
  }
  const std::uint32_t start = platform::GetTickCount();
  if (trace != nullptr)
    trace->Begin(*Protocol, PortName + " " + command);
  try {
    Protocol->Request = command;
    Protocol->Transact();
  } catch (...) {
    if (trace != nullptr)
      trace->End(*Protocol);
    throw;
  }
  if (trace != nullptr)
    trace->End(*Protocol);
  reading.Answer = Protocol->Answer;
  reading.Ms = platform::GetTickCount() - start;
  return reading;
}
