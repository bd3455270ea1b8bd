#pragma once

#include "platform/AppendFile.h"

#include <string>
#include <string_view>

// Where a poll's rows go: a file, written at its end, or standard output
// for "-". Every line is handed to the system as it is written; one that
// cannot be raises TOutputError naming the place and the system's reason.
class TOutputSink {
public:
  explicit TOutputSink(std::string path);
  // A readings CSV: a new or empty file gets the header; one that starts
  // with the same header is continued, so a restarted service keeps what it
  // wrote; one with other columns is refused.
  TOutputSink(std::string path, const std::string& csvHeader);

  void WriteLine(std::string_view line, std::string_view lineEnd = "\n");

private:
  [[noreturn]] void Fail(const std::string& what);

  std::string Path;
  platform::AppendFile File;
};
