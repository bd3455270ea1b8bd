#pragma once

#include "ui/LogView.h"

#include <cstddef>
#include <deque>
#include <string>
#include <vector>

// The output log's bookkeeping, apart from the view: the line numbering and
// the capacity. A line break is CR LF, a lone LF or a lone CR. Every append
// ends with a line end, so the view never reports a final empty line.
class TOutputLog {
public:
  static constexpr std::size_t Capacity = 65536;

  // What the view must do for one append: drop DropLines lines from the
  // top, then add Lines at the end.
  struct TAppend {
    std::size_t DropLines = 0;
    std::vector<std::string> Lines;
  };

  // Appends text, as the view shows it, plus a line end; the oldest lines
  // make room when the view would pass its capacity. The count goes on by
  // the lines text takes as text, whatever the view, so a view never
  // changes the numbering.
  TAppend Append(const std::string& text, TLogView view = TLogView::Text);
  // Format("%d. %s") with the number of lines counted since the last clear
  // plus one.
  TAppend AppendNumbered(const std::string& text, TLogView view = TLogView::Text);
  void Clear();

  // Lines counted since the last clear, including dropped ones.
  std::size_t LineCount() const { return Appended; }
  // Characters the view holds, each line end counted as one.
  std::size_t Size() const { return Chars; }
  std::size_t KeptLines() const { return Kept.size(); }

private:
  TAppend Show(std::vector<std::string> lines);

  std::deque<std::size_t> Kept; // lengths of the lines the view holds
  std::size_t Chars = 0;
  std::size_t Appended = 0;
};

// Splits text at CR LF, lone LF and lone CR; a text ending in a break gives
// an empty last piece.
std::vector<std::string> SplitLines(const std::string& text);
