#pragma once

#include "cli/Reading.h"

#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>

class TSessionRecord;

// The session record as the command-line program keeps it: the same lines
// as the window's, but a record that cannot be written is warned about once
// and then left off; it never stops the program or changes its status.
class TSessionLog {
public:
  // folder empty: the default one. Off: nothing is written. On, the days
  // older than keepDays are removed first, as the window does at start, so
  // a station without the window keeps its records within bounds too.
  TSessionLog(bool on, const std::string& folder, int keepDays,
              std::function<void(const std::string&)> warn);
  ~TSessionLog();

  void Exchange(const TReading& reading);
  void Event(std::string_view port, std::string_view kind,
             std::initializer_list<std::string_view> fields = {});

private:
  template <typename TWrite> void Guarded(TWrite&& write);

  std::unique_ptr<TSessionRecord> Record;
  std::function<void(const std::string&)> Warn;
};
