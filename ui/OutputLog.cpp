#include "ui/OutputLog.h"

#include "base/Format.h"

#include <utility>

std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines(1);
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\r' || c == '\n') {
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
        ++i;
      lines.emplace_back();
    } else {
      lines.back() += c;
    }
  }
  return lines;
}

TOutputLog::TAppend TOutputLog::Append(const std::string& text, TLogView view) {
  // The appended line end closes the last piece; nothing follows it.
  std::vector<std::string> lines = SplitLines(text);
  Appended += lines.size();
  if (view == TLogView::Text)
    return Show(std::move(lines));
  return Show(SplitLines(ShownBytes(text, view)));
}

TOutputLog::TAppend TOutputLog::Show(std::vector<std::string> lines) {
  TAppend result;
  result.Lines = std::move(lines);

  std::size_t added = 0;
  for (const std::string& line : result.Lines)
    added += line.size() + 1;
  // A single append larger than the whole view keeps only its newest lines,
  // dropped in one go: an answer of many thousand line breaks must not cost
  // a pass over the rest for each one.
  std::size_t skipped = 0;
  while (added > Capacity && result.Lines.size() - skipped > 1) {
    added -= result.Lines[skipped].size() + 1;
    ++skipped;
  }
  result.Lines.erase(result.Lines.begin(),
                     result.Lines.begin() + static_cast<std::ptrdiff_t>(skipped));
  if (added > Capacity) {
    std::string& only = result.Lines.front();
    only.erase(0, only.size() + 1 - Capacity);
    added = Capacity;
  }

  while (!Kept.empty() && Chars + added > Capacity) {
    Chars -= Kept.front() + 1;
    Kept.pop_front();
    ++result.DropLines;
  }
  for (const std::string& line : result.Lines)
    Kept.push_back(line.size());
  Chars += added;
  return result;
}

TOutputLog::TAppend TOutputLog::AppendNumbered(const std::string& text, TLogView view) {
  const long long number = static_cast<long long>(Appended) + 1;
  Appended += SplitLines(text).size();
  return Show(SplitLines(Format("%d. %s", number, ShownBytes(text, view))));
}

void TOutputLog::Clear() {
  Kept.clear();
  Chars = 0;
  Appended = 0;
}
