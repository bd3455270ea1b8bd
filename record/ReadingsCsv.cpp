#include "record/ReadingsCsv.h"

#include "base/Exception.h"
#include "base/OSError.h"
#include "platform/Folders.h"
#include "platform/SystemError.h"
#include "platform/TextEncoding.h"
#include "record/Number.h"
#include "record/TimeText.h"

namespace {

constexpr std::string_view LineEnd = "\r\n";

} // namespace

std::string CsvField(std::string_view utf8) {
  if (utf8.find_first_of(",\"\r\n") == std::string_view::npos)
    return std::string(utf8);
  std::string field = "\"";
  for (const char c : utf8) {
    field += c;
    if (c == '"')
      field += '"';
  }
  return field + '"';
}

std::string CsvValue(const std::optional<std::string>& shown, char decimalSeparator) {
  if (!shown)
    return {};
  if (std::optional<std::string> number = NumberText(*shown, decimalSeparator))
    return *number;
  return CsvField(platform::SystemToUtf8(*shown));
}

std::string ReadingsHeader(const std::vector<std::string>& columns) {
  std::string header = "time";
  for (const std::string& column : columns)
    header += ',' + CsvField(platform::SystemToUtf8(column));
  return header;
}

std::string ReadingsRow(const platform::LocalTime& at,
                        const std::vector<std::optional<std::string>>& values,
                        char decimalSeparator) {
  std::string row = IsoTime(at);
  for (const std::optional<std::string>& value : values) {
    row += ',';
    row += CsvValue(value, decimalSeparator);
  }
  return row;
}

std::string NewColumnsPath(const std::string& path, int number) {
  // The extension is what follows the last full stop of the file's name.
  const std::size_t nameStart = path.find_last_of("/\\") + 1;
  std::size_t dot = path.rfind('.');
  if (dot == std::string::npos || dot <= nameStart)
    dot = path.size();
  return path.substr(0, dot) + " (new columns " + std::to_string(number) + ")" + path.substr(dot);
}

void TReadingsCsv::Start(const std::string& path, const std::vector<std::string>& columns) {
  Stop();
  BasePath = path;
  FileNumber = 1;
  Columns = columns;
  OpenFile(path);
}

void TReadingsCsv::Stop() {
  File.Close();
  CurrentPath.clear();
}

void TReadingsCsv::Row(const platform::LocalTime& at, const std::vector<std::string>& columns,
                       const std::vector<std::optional<std::string>>& values,
                       char decimalSeparator) {
  if (!Recording())
    return;
  if (columns != Columns) {
    Columns = columns;
    // A file of that name from an earlier recording is left alone.
    std::string next;
    do
      next = NewColumnsPath(BasePath, ++FileNumber);
    while (platform::FileExists(next));
    OpenFile(next);
  }
  std::vector<std::optional<std::string>> row = values;
  row.resize(Columns.size());
  WriteLine(ReadingsRow(at, row, decimalSeparator));
}

void TReadingsCsv::OpenFile(const std::string& path) {
  File.Close();
  CurrentPath = path;
  if (!File.Open(path, true))
    Fail("could not open");
  WriteLine(ReadingsHeader(Columns));
}

void TReadingsCsv::WriteLine(const std::string& line) {
  if (!File.Write(line + std::string(LineEnd)))
    Fail("could not write");
}

void TReadingsCsv::Fail(const std::string& what) {
  const std::uint32_t code = platform::GetLastError();
  const std::string path = CurrentPath;
  Stop();
  throw Exception("Recording readings stopped: " + what + " " + path + "\r\n" +
                  SystemMessageText(code));
}
