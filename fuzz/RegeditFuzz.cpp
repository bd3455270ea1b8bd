#include "platform/posix/RegeditFormat.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

using platform::posix::FormatRegedit;
using platform::posix::ParseRegedit;

// Besides not crashing, whatever the reader accepts the writer must write
// back so that it reads the same: a hive the program saves must load again.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const auto parsed = ParseRegedit(text);
  if (!parsed.Ok) {
    if (parsed.Problem.empty() || parsed.Line < 1)
      std::abort();
    return 0;
  }
  const std::string written = FormatRegedit(parsed.Hive);
  const auto again = ParseRegedit(written);
  if (!again.Ok || !(again.Hive == parsed.Hive) || FormatRegedit(again.Hive) != written)
    std::abort();
  return 0;
}
