#pragma once

#include "platform/AppendFile.h"

#include <string>
#include <string_view>
#include <vector>

// Where a poll's rows go: a file, written at its end, or standard output
// for "-". Every line is handed to the system as it is written; one that
// cannot be raises TOutputError naming the place and the system's reason.
class TOutputSink {
public:
  explicit TOutputSink(std::string path);
  // A readings CSV: a new or empty file gets the header; one whose header
  // has the same columns is continued, so a restarted service keeps what it
  // wrote; one with other columns is refused.
  TOutputSink(std::string path, const std::vector<std::string>& csvColumns);

  void WriteLine(std::string_view line, std::string_view lineEnd = "\n");

private:
  [[noreturn]] void Fail(const std::string& what);

  std::string Path;
  platform::AppendFile File;
};
