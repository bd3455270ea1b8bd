#pragma once

#include "platform/AppendFile.h"
#include "platform/LocalTime.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// One CSV field (RFC 4180) of UTF-8 text: quoted when it holds a comma, a
// quote or a line break, its quotes doubled.
std::string CsvField(std::string_view utf8);

// A monitor's shown value as a CSV field: a number with a full stop, any
// other text converted from the system's code page to UTF-8, silence empty.
std::string CsvValue(const std::optional<std::string>& shown, char decimalSeparator);

// The readings format's lines, without their line end: the header
// "time,<column>..." and a row of a poll round that started at `at`, one
// value per column (none for silence).
std::string ReadingsHeader(const std::vector<std::string>& columns);
std::string ReadingsRow(const platform::LocalTime& at,
                        const std::vector<std::optional<std::string>>& values,
                        char decimalSeparator);

// "<stem> (new columns <number>)<extension>" beside path.
std::string NewColumnsPath(const std::string& path, int number);

// A monitor's readings as CSV: a header "time,<column>...", then one row per
// poll round, each handed to the system as it is written (CR LF line ends).
// Failures stop the recording and raise, naming the path and the system's
// reason.
class TReadingsCsv {
public:
  // Replaces the file at path with one that holds the header.
  void Start(const std::string& path, const std::vector<std::string>& columns);
  void Stop();
  bool Recording() const { return File.IsOpen(); }
  // The file rows go to now.
  const std::string& Path() const { return CurrentPath; }

  // A row of values, one per column. When the columns are not the file's,
  // the file is closed and the row starts a new one whose name says so.
  void Row(const platform::LocalTime& at, const std::vector<std::string>& columns,
           const std::vector<std::optional<std::string>>& values, char decimalSeparator);

private:
  void OpenFile(const std::string& path);
  void WriteLine(const std::string& line);
  [[noreturn]] void Fail(const std::string& what);

  std::string BasePath;
  std::string CurrentPath;
  std::vector<std::string> Columns;
  int FileNumber = 1;
  platform::AppendFile File;
};
