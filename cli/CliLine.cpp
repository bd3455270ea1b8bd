#include "cli/CliLine.h"

#include "cli/ExitStatus.h"
#include "record/Retention.h"

std::unique_ptr<TInstrumentLine> MakeCliLine(bool record, const TDefaults& defaults,
                                             std::function<void(const std::string&)> warn) {
  auto session = std::make_unique<TSessionRecord>(
      defaults.SessionFolder.empty() ? DefaultSessionFolder() : defaults.SessionFolder);
  session->SetEnabled(record);
  if (record)
    RemoveOldSessions(session->Folder(), session->Now(), defaults.KeepDays);
  return std::make_unique<TInstrumentLine>(std::move(session), TLineHandlers{std::move(warn), {}});
}

TSerialPort NamedPort(const std::string& portName) {
  return TSerialPort(TSerialPort::PortNumberFromName(portName), "");
}

void OpenNamedPort(TInstrumentLine& line, const TSerialPort& port, bool rtsActiveLow,
                   TAnswerEnd answerEnd) {
  try {
    line.Open(port.Name, port.DevicePath(), rtsActiveLow, answerEnd);
  } catch (const Exception& e) {
    throw TPortUnavailable(e.what());
  }
}
