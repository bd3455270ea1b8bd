#include "watch/ReadingsFile.h"

#include "base/Exception.h"
#include "base/TextFile.h"
#include "record/Number.h"
#include "record/TimeText.h"

#include <algorithm>
#include <cerrno>
#include <fstream>
#include <sstream>

namespace {

struct TField {
  std::string Text;
  bool Quoted = false;
};

// The records of RFC 4180 text: a quoted field may hold commas, doubled
// quotes and line breaks; a record ends at CR LF or LF.
class TCsvRecords {
public:
  TCsvRecords(std::string_view text, const std::string& name) : Text(text), Name(name) {}

  // The next record into fields; false at the end of the text.
  bool Next(std::vector<TField>& fields) {
    fields.clear();
    if (At >= Text.size())
      return false;
    Line = NextLine;
    for (;;) {
      fields.push_back(ReadField());
      if (At >= Text.size())
        return true;
      const char separator = Text[At++];
      if (separator == ',')
        continue;
      if (separator == '\r' && At < Text.size() && Text[At] == '\n')
        ++At;
      else if (separator != '\n')
        Fail("a quoted field is followed by more text");
      ++NextLine;
      return true;
    }
  }

  [[noreturn]] void Fail(const std::string& why) const {
    throw Exception(Name + " is not a readings file: line " + std::to_string(Line) + ": " + why +
                    ".");
  }

private:
  TField ReadField() {
    TField field;
    if (At < Text.size() && Text[At] == '"') {
      field.Quoted = true;
      for (++At;; ++At) {
        if (At >= Text.size())
          Fail("a quoted field has no closing quote");
        if (Text[At] == '"') {
          if (At + 1 < Text.size() && Text[At + 1] == '"') {
            ++At;
          } else {
            ++At;
            break;
          }
        } else if (Text[At] == '\n') {
          ++NextLine;
        }
        field.Text += Text[At];
      }
      return field;
    }
    const std::size_t end = Text.find_first_of(",\r\n", At);
    field.Text = Text.substr(At, end == std::string_view::npos ? end : end - At);
    if (field.Text.find('"') != std::string::npos)
      Fail("a quote inside an unquoted field");
    At = end == std::string_view::npos ? Text.size() : end;
    return field;
  }

  std::string_view Text;
  const std::string& Name;
  std::size_t At = 0;
  int Line = 1;
  int NextLine = 1;
};

// A value field: a number with a full stop; silence or text is a gap.
double ValueOf(const TField& field) {
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
  std::vector<TField> fields;
  if (!records.Next(fields) || fields.front().Text != "time" || fields.front().Quoted)
    records.Fail("it does not start with the header \"time,...\"");
  std::vector<TReadingsColumn> columns(fields.size() - 1);
  for (std::size_t i = 0; i < columns.size(); ++i)
    columns[i].Name = fields[i + 1].Text;

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
