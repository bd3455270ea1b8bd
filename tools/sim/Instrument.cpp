#include "tools/sim/Instrument.h"

#include <cmath>
#include <cstdint>
#include <cstdio>

namespace {

std::string Fixed(double value, int decimals) {
  char text[32];
  std::snprintf(text, sizeof text, "%.*f", decimals, value);
  return text;
}

std::string HexByte(unsigned value) {
  char text[4];
  std::snprintf(text, sizeof text, "%02X", value & 0xFFU);
  return text;
}

std::string LittleEndian16(int value) {
  const auto bits = static_cast<std::uint16_t>(static_cast<std::int16_t>(value));
  return HexByte(bits & 0xFFU) + " " + HexByte(bits >> 8U);
}

} // namespace

double TInstrument::ProcessValue(double t) const {
  if (!Drifting)
    return 23.5;
  return std::round((23.5 + 1.5 * std::sin(t / 20.0)) * 10.0) / 10.0;
}

int TInstrument::Count(double t) const {
  if (!Drifting)
    return -10;
  return -10 + static_cast<int>(std::lround(5.0 * std::sin(t / 7.0)));
}

std::optional<std::string> TInstrument::Answer(const std::string& command, double t) const {
  std::string value;
  if (command == "p.v")
    value = Fixed(ProcessValue(t), 1);
  else if (command == "s.p")
    value = "25.0";
  else if (command == "o.p")
    value = std::to_string(42 + (Drifting ? static_cast<int>(t) % 5 : 0));
  else if (command == "F0")
    value = HexDump(ProcessValue(t), Count(t));
  else
    return std::nullopt;
  return command + " " + value + "\r\n";
}

std::string HexDump(double value, int count) {
  const int hundredths = static_cast<int>(std::lround(value * 100.0));
  return "FF FE 00 00 " + LittleEndian16(hundredths) + " " + LittleEndian16(count);
}
