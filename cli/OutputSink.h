#pragma once

#include "platform/AppendFile.h"

#include <string>
#include <string_view>

// Where a poll's rows go: a file, replaced at start, or standard output for
// "-". Every line is handed to the system as it is written; one that cannot
// be raises TOutputError naming the place and the system's reason.
class TOutputSink {
public:
  explicit TOutputSink(std::string path);

  void WriteLine(std::string_view line, std::string_view lineEnd = "\n");

private:
  [[noreturn]] void Fail(const std::string& what);

  std::string Path;
  platform::AppendFile File;
};
