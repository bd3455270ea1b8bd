#include "cli/ReadingJson.h"

#include "platform/TextEncoding.h"
#include "record/Escape.h"
#include "record/TimeText.h"

#include <charconv>
#include <cstdio>

std::string JsonNumber(double value) {
  char text[32];
  const auto [end, error] = std::to_chars(text, text + sizeof text, value);
  return error == std::errc() ? std::string(text, end) : "null";
}

namespace {

std::string JsonValue(const TReading& reading) {
  if (!reading.Shown)
    return "null";
  if (const std::optional<double> number = reading.Number())
    return JsonNumber(*number);
  return JsonString(reading.Shown->Text);
}

// Appended piece by piece: GCC 12 at -O3 warns, wrongly, of an overlapping
// copy in a chain of string concatenations.
void AppendFields(std::string& json, const TReading& reading) {
  json += "\"time\":\"";
  json += IsoTime(reading.Started);
  json += "\",\"value\":";
  json += JsonValue(reading);
  json += ",\"raw\":";
  json += JsonString(EscapeField(reading.Answer));
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

std::string ReadingJson(const TReading& reading) {
  std::string json = "{";
  AppendFields(json, reading);
  return json + '}';
}

std::string ReadingJsonLine(const TReading& reading) {
  std::string json = "{\"port\":";
  json += JsonString(reading.Port);
  json += ",\"command\":";
  json += JsonString(reading.Command);
  json += ',';
  AppendFields(json, reading);
  return json + '}';
}
