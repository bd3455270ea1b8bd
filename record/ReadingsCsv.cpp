#include "record/ReadingsCsv.h"

#include "base/Exception.h"
#include "base/OSError.h"
#include "platform/Folders.h"
#include "platform/SystemError.h"
#include "platform/TextEncoding.h"
#include "record/TimeText.h"

namespace {

constexpr std::string_view LineEnd = "\r\n";

std::string Quoted(std::string_view prefix, std::string_view utf8) {
  std::string field = "\"";
  field += prefix;
  for (const char c : utf8) {
    field += c;
    if (c == '"')
      field += '"';
  }
  return field + '"';
}

// Apostrophes are passed over so that a text which itself starts with one
// before such a character is marked too, and a reader can tell the two.
bool StartsFormula(std::string_view text) {
  const std::size_t at = text.find_first_not_of('\'');
  return at != std::string_view::npos &&
         std::string_view("=+-@\t\r").find(text[at]) != std::string_view::npos;
}

// The first record of a file, up to and with its first line break outside
// quotes, or the first `limit` bytes of a file without one.
std::string FirstRecord(std::istream& file, std::size_t limit) {
  std::string record;
  bool quoted = false;
  for (char c; record.size() < limit && file.get(c);) {
    record += c;
    if (c == '\n' && !quoted)
      break;
    if (c == '"')
      quoted = !quoted;
  }
  return record;
}

std::vector<std::string> HeaderCells(std::string_view record) {
  const std::string name = "the header";
  TCsvRecords records(record, name);
  std::vector<TCsvField> fields;
  std::vector<std::string> cells;
  if (records.Next(fields))
    for (const TCsvField& field : fields)
      cells.push_back(UnmarkedText(field));
  return cells;
}

} // namespace

std::string CsvField(std::string_view utf8) {
  if (utf8.find_first_of(",\"\r\n") == std::string_view::npos)
    return std::string(utf8);
  return Quoted("", utf8);
}

std::string CsvText(std::string_view utf8) {
  return StartsFormula(utf8) ? Quoted("'", utf8) : CsvField(utf8);
}

std::string UnmarkedText(const TCsvField& field) {
  if (field.Quoted && field.Text.starts_with('\'') && StartsFormula(field.Text))
    return field.Text.substr(1);
  return field.Text;
}

std::string CsvValue(const std::optional<TShownValue>& shown) {
  if (!shown)
    return {};
  if (shown->Number)
    return shown->Number->Digits;
  return CsvText(platform::SystemToUtf8(shown->Text));
}

std::string ReadingsHeader(const std::vector<std::string>& columns) {
  std::string header = "time";
  for (const std::string& column : columns)
    header += ',' + CsvText(platform::SystemToUtf8(column));
  return header;
}

bool HasReadingsColumns(std::istream& file, const std::vector<std::string>& columns) {
  const std::string header = ReadingsHeader(columns);
  // No way of writing these columns' header, quoted or marked, is longer.
  const std::size_t limit = 3 * header.size() + 64;
  try {
    return HeaderCells(FirstRecord(file, limit)) == HeaderCells(header);
  } catch (const Exception&) {
    return false; // not CSV at all
  }
}

std::string ReadingsRow(const platform::LocalTime& at,
                        const std::vector<std::optional<TShownValue>>& values) {
  std::string row = IsoTime(at);
  for (const std::optional<TShownValue>& value : values) {
    row += ',';
    row += CsvValue(value);
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
                       const std::vector<std::optional<TShownValue>>& values) {
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
  std::vector<std::optional<TShownValue>> row = values;
  row.resize(Columns.size());
  WriteLine(ReadingsRow(at, row));
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
