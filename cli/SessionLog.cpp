#include "cli/SessionLog.h"

#include "base/Exception.h"
#include "record/Retention.h"
#include "record/SessionRecord.h"

TSessionLog::TSessionLog(bool on, const std::string& folder, int keepDays,
                         std::function<void(const std::string&)> warn)
    : Warn(std::move(warn)) {
  if (!on)
    return;
  Record = std::make_unique<TSessionRecord>(folder.empty() ? DefaultSessionFolder() : folder);
  RemoveOldSessions(Record->Folder(), Record->Now(), keepDays);
}

TSessionLog::~TSessionLog() = default;

template <typename TWrite> void TSessionLog::Guarded(TWrite&& write) {
  if (!Record)
    return;
  try {
    write(*Record);
  } catch (const Exception& e) {
    // The record has switched itself off; one warning is all it gets.
    Record.reset();
    Warn(e.what());
  }
}

void TSessionLog::Exchange(const TReading& reading) {
  if (reading.Lost)
    return;
  Guarded([&](TSessionRecord& record) {
    record.Exchange(reading.Started, reading.Port, reading.Command, reading.Answer, reading.Ms);
  });
}

void TSessionLog::Event(std::string_view port, std::string_view kind,
                        std::initializer_list<std::string_view> fields) {
  Guarded([&](TSessionRecord& record) { record.Event(port, kind, fields); });
}
