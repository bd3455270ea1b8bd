#include "platform/posix/registry/RegeditEncoding.h"
#include "platform/posix/registry/RegeditFormat.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

using platform::posix::FormatRegedit;
using platform::posix::ParseRegedit;
using platform::posix::RegistryHive;
using platform::posix::UnicodeRegeditHeader;

namespace {

// Bytes taken as Latin-1 and saved in Unicode, as an editor would.
std::string Utf16LeFile(std::string_view bytes) {
  std::string file = "\xFF\xFE";
  for (char c : bytes) {
    file += c;
    file += '\0';
  }
  return file;
}

std::string Utf8File(std::string_view bytes) {
  std::string file = "\xEF\xBB\xBF";
  for (char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x80) {
      file += c;
    } else {
      file += static_cast<char>(0xC0 | byte >> 6);
      file += static_cast<char>(0x80 | (byte & 0x3F));
    }
  }
  return file;
}

bool ReadsAs(const std::string& file, const RegistryHive& hive) {
  const auto parsed = ParseRegedit(file);
  return parsed.Ok && parsed.Hive == hive;
}

} // namespace

// Besides not crashing, whatever the reader accepts the writer must write
// back so that it reads the same: a hive the program saves must load again.
// The text it writes, saved in Unicode, reads the same too, and so does it
// as a version-5 export when no string is written as hex bytes (those are
// UTF-16 there).
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
  if (!ReadsAs(Utf16LeFile(written), parsed.Hive) || !ReadsAs(Utf8File(written), parsed.Hive))
    std::abort();
  const bool stringsAsHex = written.find("hex(1)") != std::string::npos ||
                            written.find("hex(2)") != std::string::npos ||
                            written.find("hex(7)") != std::string::npos;
  const std::string version5 =
      std::string(UnicodeRegeditHeader) + written.substr(written.find("\r\n"));
  if (!stringsAsHex && !ReadsAs(Utf16LeFile(version5), parsed.Hive))
    std::abort();
  return 0;
}
