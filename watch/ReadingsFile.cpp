#include "watch/ReadingsFile.h"

#include "base/Exception.h"
#include "base/TextFile.h"
#include "record/CsvRecords.h"
#include "record/Number.h"
#include "record/ReadingsCsv.h"
#include "record/TimeText.h"

#include <algorithm>
#include <cerrno>
#include <fstream>
#include <sstream>

namespace {

// A value field: a number with a full stop; silence or text is a gap.
double ValueOf(const TCsvField& field) {
  if (field.Quoted)
    return GapValue();
  const std::optional<double> value = ParseReading(field.Text, '.');
  return value ? *value : GapValue();
}

std::string ReadAll(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file)
    throw Exception("Could not read " + path + ": " + SystemInOutErrorMessage(errno));
  std::ostringstream text;
  text << file.rdbuf();
  if (file.bad())
    throw Exception("Could not read " + path + ": " + SystemInOutErrorMessage(errno));
  return text.str();
}

} // namespace

std::vector<TReadingsColumn> ParseReadings(std::string_view text, const std::string& name) {
  TCsvRecords records(text, name);
  std::vector<TCsvField> fields;
  if (!records.Next(fields) || fields.front().Text != "time" || fields.front().Quoted)
    records.Fail("it does not start with the header \"time,...\"");
  std::vector<TReadingsColumn> columns(fields.size() - 1);
  for (std::size_t i = 0; i < columns.size(); ++i)
    columns[i].Name = UnmarkedText(fields[i + 1]);

  while (records.Next(fields)) {
    if (fields.size() != columns.size() + 1)
      records.Fail("the row's field count is " + std::to_string(fields.size()) +
                   ", the header's is " + std::to_string(columns.size() + 1));
    const std::optional<std::int64_t> time =
        fields.front().Quoted ? std::nullopt : EpochMsOfIsoTime(fields.front().Text);
    if (!time)
      records.Fail("\"" + fields.front().Text + "\" is not a time");
    for (std::size_t i = 0; i < columns.size(); ++i)
      columns[i].Points.push_back({*time, ValueOf(fields[i + 1])});
  }
  const auto earlier = [](const TTrendPoint& a, const TTrendPoint& b) {
    return a.TimeMs < b.TimeMs;
  };
  for (TReadingsColumn& column : columns)
    std::stable_sort(column.Points.begin(), column.Points.end(), earlier);
  return columns;
}

std::vector<TReadingsColumn> ReadReadingsFile(const std::string& path) {
  return ParseReadings(ReadAll(path), path);
}
