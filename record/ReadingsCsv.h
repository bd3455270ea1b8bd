#pragma once

#include "platform/AppendFile.h"
#include "platform/LocalTime.h"
#include "record/CsvRecords.h"
#include "record/Number.h"

#include <istream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// One CSV field (RFC 4180) of UTF-8 text: quoted when it holds a comma, a
// quote or a line break, its quotes doubled.
std::string CsvField(std::string_view utf8);

// A text field of the readings format: one that a spreadsheet would take
// for a formula (it starts with =, +, -, @, TAB or CR, after any
// apostrophes) is quoted with a leading apostrophe, so it stays text there.
std::string CsvText(std::string_view utf8);
// A field as a CSV reader read it, without that mark.
std::string UnmarkedText(const TCsvField& field);

// A monitor's shown value as a CSV field: a number with a full stop, any
// other text converted from the system's code page to UTF-8 and marked as
// above, silence empty.
std::string CsvValue(const std::optional<TShownValue>& shown);

// The readings format's lines, without their line end: the header
// "time,<column>..." (a column written as CsvText writes text: a
// spreadsheet evaluates header cells too) and a row of a poll
// round that started at `at`, one value per column (none for silence).
std::string ReadingsHeader(const std::vector<std::string>& columns);
// Whether the readings file read from `file` has these columns: its header
// compared field by field as a CSV reader reads it, whatever its quotes,
// marks, line breaks inside quotes and line end.
bool HasReadingsColumns(std::istream& file, const std::vector<std::string>& columns);
std::string ReadingsRow(const platform::LocalTime& at,
                        const std::vector<std::optional<TShownValue>>& values);

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
           const std::vector<std::optional<TShownValue>>& values);

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
