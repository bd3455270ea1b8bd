#include "cli/ReadingJson.h"

#include "platform/TextEncoding.h"
#include "record/Escape.h"
#include "record/Number.h"
#include "record/TimeText.h"

#include <charconv>
#include <cstdio>

namespace {

// JSON has no leading zeros, lone full stops or plus signs: the number is
// written anew, as the shortest text that reads back as the same double.
std::string JsonNumber(double value) {
  char text[32];
  const auto [end, error] = std::to_chars(text, text + sizeof text, value);
  return error == std::errc() ? std::string(text, end) : "null";
}

std::string JsonValue(const TReading& reading, char decimalSeparator) {
  const std::optional<std::string> shown = reading.Shown();
  if (!shown)
    return "null";
  if (const std::optional<double> number = ParseReading(*shown, decimalSeparator))
    return JsonNumber(*number);
  return JsonString(*shown);
}

std::string Fields(const TReading& reading, char decimalSeparator) {
  return "\"time\":\"" + IsoTime(reading.Started) +
         "\",\"value\":" + JsonValue(reading, decimalSeparator) +
         ",\"raw\":" + JsonString(EscapeField(reading.Answer));
}

} // namespace

std::string JsonString(std::string_view bytes) {
  std::string json = "\"";
  for (const char c : platform::SystemToUtf8(bytes)) {
    if (c == '"' || c == '\\') {
      json += '\\';
      json += c;
    } else if (static_cast<unsigned char>(c) < 0x20) {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned>(c));
      json += escape;
    } else {
      json += c;
    }
  }
  return json + '"';
}

std::string ReadingJson(const TReading& reading, char decimalSeparator) {
  return "{" + Fields(reading, decimalSeparator) + "}";
}

std::string ReadingJsonLine(const TReading& reading, char decimalSeparator) {
  return "{\"port\":" + JsonString(reading.Port) + ",\"command\":" + JsonString(reading.Command) +
         "," + Fields(reading, decimalSeparator) + "}";
}
