#include "cli/InfluxLine.h"

#include "cli/ReadingJson.h"
#include "platform/TextEncoding.h"
#include "record/Escape.h"

namespace {

bool Uncarried(char c) {
  const auto byte = static_cast<unsigned char>(c);
  return byte < 0x20 || byte == 0x7F || c == '\\';
}

// The session record's escapes for what the protocol cannot carry; the
// bytes above 127 go on as UTF-8.
std::string Carried(std::string_view bytes) {
  std::string carried;
  for (std::size_t at = 0; at < bytes.size(); ++at)
    carried += Uncarried(bytes[at]) ? EscapeField(bytes.substr(at, 1)) : std::string(1, bytes[at]);
  return platform::SystemToUtf8(carried);
}

} // namespace

std::string InfluxTag(std::string_view bytes) {
  const bool lastBackslash = !bytes.empty() && bytes.back() == '\\';
  if (lastBackslash)
    bytes.remove_suffix(1);
  std::string tag;
  for (const char c : Carried(bytes)) {
    if (c == ',' || c == '=' || c == ' ')
      tag += '\\';
    tag += c;
  }
  return lastBackslash ? tag + "\\x5C" : tag;
}

std::string InfluxString(std::string_view bytes) {
  std::string quoted = "\"";
  for (const char c : Carried(bytes)) {
    if (c == '"' || c == '\\')
      quoted += '\\';
    quoted += c;
  }
  return quoted + '"';
}

std::string InfluxLine(std::string_view port, std::string_view command,
                       std::optional<double> number, std::string_view text, std::int64_t epochNs) {
  std::string line = "marrowlink,port=" + InfluxTag(port);
  if (!command.empty())
    line += ",command=" + InfluxTag(command);
  line += number ? " value=" + JsonNumber(*number) : " text=" + InfluxString(text);
  return line + ' ' + std::to_string(epochNs);
}
