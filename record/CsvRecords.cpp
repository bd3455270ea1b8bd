#include "record/CsvRecords.h"

#include "base/Exception.h"

bool TCsvRecords::Next(std::vector<TCsvField>& fields) {
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

void TCsvRecords::Fail(const std::string& why) const {
  throw Exception(Name + " is not a readings file: line " + std::to_string(Line) + ": " + why +
                  ".");
}

TCsvField TCsvRecords::ReadField() {
  TCsvField field;
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
