#include "base/Format.h"
#include "fuzz/FuzzCheck.h"
#include "ui/OutputLog.h"

#include <algorithm>
#include <cstdint>
#include <deque>
#include <fuzzer/FuzzedDataProvider.h>
#include <string>
#include <vector>

namespace {

// What the view holds when it follows every append as the window does.
struct View {
  std::deque<std::string> Lines;

  void Apply(const TOutputLog::TAppend& append) {
    Require(append.DropLines <= Lines.size(), "never more lines dropped than held");
    Lines.erase(Lines.begin(), Lines.begin() + static_cast<std::ptrdiff_t>(append.DropLines));
    Lines.insert(Lines.end(), append.Lines.begin(), append.Lines.end());
  }
  std::size_t Chars() const {
    std::size_t chars = 0;
    for (const std::string& line : Lines)
      chars += line.size() + 1;
    return chars;
  }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  TOutputLog log;
  View view;
  std::size_t appended = 0;
  while (input.remaining_bytes() > 0) {
    const int action = input.ConsumeIntegralInRange(0, 9);
    // Long texts come from repeating a short one, so small inputs reach the
    // capacity and beyond, as an instrument that keeps talking does.
    const std::string piece = input.ConsumeRandomLengthString(64);
    const std::size_t times = std::size_t{1} << input.ConsumeIntegralInRange(0, 16);
    std::string text;
    for (std::size_t i = 0; i < times; ++i)
      text += piece;

    if (action == 0) {
      log.Clear();
      view.Lines.clear();
      appended = 0;
      continue;
    }
    const bool numbered = action < 5;
    const std::string expectedStart = Format("%d. ", static_cast<long long>(appended + 1));
    const std::vector<std::string> pieces = SplitLines(numbered ? expectedStart + text : text);
    const TOutputLog::TAppend append = numbered ? log.AppendNumbered(text) : log.Append(text);
    appended += pieces.size();
    Require(!append.Lines.empty() && append.Lines.size() <= pieces.size(),
            "every append adds a line, and no more than the text has");
    // What is kept of an append too long for the view is its end.
    const std::size_t skipped = pieces.size() - append.Lines.size();
    Require(std::equal(append.Lines.begin() + 1, append.Lines.end(),
                       pieces.begin() + static_cast<std::ptrdiff_t>(skipped) + 1) &&
                pieces[skipped].ends_with(append.Lines.front()),
            "the lines are the text's, numbered after the lines so far");
    std::size_t chars = 0;
    for (const std::string& piece : pieces)
      chars += piece.size() + 1;
    if (chars <= TOutputLog::Capacity)
      Require(append.Lines == pieces, "an append that fits is kept whole");
    view.Apply(append);

    Require(log.LineCount() == appended, "the count of lines appended since the last clear");
    Require(log.KeptLines() == view.Lines.size(), "the log knows how many lines the view holds");
    Require(log.Size() == view.Chars(), "the log knows how much the view holds");
    Require(log.Size() <= TOutputLog::Capacity, "the view never passes its capacity");
  }
  return 0;
}
