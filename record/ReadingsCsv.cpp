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
  std::string line = IsoTime(at);
  for (std::size_t i = 0; i < Columns.size(); ++i) {
    line += ',';
    line += i < values.size() ? CsvValue(values[i], decimalSeparator) : std::string();
  }
  WriteLine(line);
}

void TReadingsCsv::OpenFile(const std::string& path) {
  File.Close();
  CurrentPath = path;
  if (!File.Open(path, true))
    Fail("could not open");
  std::string header = "time";
  for (const std::string& column : Columns)
    header += ',' + CsvField(platform::SystemToUtf8(column));
  WriteLine(header);
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
