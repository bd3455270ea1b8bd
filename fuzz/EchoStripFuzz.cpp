#include "fuzz/FuzzCheck.h"
#include "serial/EchoStrip.h"

#include <cstdint>
#include <fuzzer/FuzzedDataProvider.h>
#include <string>

namespace {

bool StandsAlone(const std::string& text, std::size_t pos, std::size_t length) {
  const bool before = pos == 0 || IsBlankOrControl(text[pos - 1]);
  const bool after = pos + length >= text.size() || IsBlankOrControl(text[pos + length]);
  return before && after;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  const std::string command = input.ConsumeRandomLengthString(32);
  const std::string answer = input.ConsumeRemainingBytesAsString();

  const std::string stripped = StripEcho(answer, command);
  if (command.empty()) {
    Require(stripped == answer, "an empty command strips nothing");
    return 0;
  }
  Require(stripped.size() <= answer.size() &&
              (answer.size() - stripped.size()) % command.size() == 0,
          "only whole echoes are removed");
  for (std::size_t pos = stripped.find(command); pos != std::string::npos;
       pos = stripped.find(command, pos + 1))
    Require(!StandsAlone(stripped, pos, command.size()), "no echo is left standing alone");
  if (stripped == answer)
    return 0;

  const std::string caption = PanelCaption(answer, command);
  Require(caption.empty() ||
              (!IsBlankOrControl(caption.front()) && !IsBlankOrControl(caption.back())),
          "the caption is trimmed");
  Require(stripped.find(caption) != std::string::npos, "the caption is the stripped answer");
  return 0;
}
