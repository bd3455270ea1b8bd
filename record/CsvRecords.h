#pragma once

#include <string>
#include <string_view>
#include <vector>

struct TCsvField {
  std::string Text;
  bool Quoted = false;
};

// The records of RFC 4180 text: a quoted field may hold commas, doubled
// quotes and line breaks; a record ends at CR LF or LF. Text that breaks
// the rules raises, naming `name` as not a readings file and the line.
class TCsvRecords {
public:
  TCsvRecords(std::string_view text, const std::string& name) : Text(text), Name(name) {}

  // The next record into fields; false at the end of the text.
  bool Next(std::vector<TCsvField>& fields);
  [[noreturn]] void Fail(const std::string& why) const;

private:
  TCsvField ReadField();

  std::string_view Text;
  const std::string& Name;
  std::size_t At = 0;
  int Line = 1;
  int NextLine = 1;
};
