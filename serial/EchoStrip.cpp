#include "serial/EchoStrip.h"

namespace {

bool IsBoundary(std::string_view text, std::size_t pos) {
  return pos >= text.size() || IsBlankOrControl(text[pos]);
}

// First occurrence of command in text that stands as a whole token.
std::size_t FindToken(std::string_view text, std::string_view command) {
  for (std::size_t pos = text.find(command); pos != std::string_view::npos;
       pos = text.find(command, pos + 1)) {
    const bool startBounded = pos == 0 || IsBlankOrControl(text[pos - 1]);
    if (startBounded && IsBoundary(text, pos + command.size()))
      return pos;
  }
  return std::string_view::npos;
}

} // namespace

bool IsBlankOrControl(char c) {
  return static_cast<unsigned char>(c) <= ' ';
}

std::string TrimBlanks(std::string_view text) {
  std::size_t first = 0;
  std::size_t last = text.size();
  while (first < last && IsBlankOrControl(text[first]))
    ++first;
  while (last > first && IsBlankOrControl(text[last - 1]))
    --last;
  return std::string(text.substr(first, last - first));
}

std::string StripEcho(std::string answer, std::string_view command) {
  if (command.empty())
    return answer;
  // Removing one echo can bring another to a token boundary, so search again
  // from the start; every round shortens the answer.
  for (std::size_t pos = FindToken(answer, command); pos != std::string::npos;
       pos = FindToken(answer, command))
    answer.erase(pos, command.size());
  return answer;
}

std::string PanelCaption(const std::string& answer, std::string_view command) {
  return TrimBlanks(StripEcho(answer, command));
}
