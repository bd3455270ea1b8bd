#pragma once

#include <optional>
#include <string>

// What the simulated instrument answers to one request line (without its
// CR LF), at a time t seconds after start: the echoed command, a blank,
// the value and CR LF; nothing for a command it does not know.
class TInstrument {
public:
  explicit TInstrument(bool drifting) : Drifting(drifting) {}

  std::optional<std::string> Answer(const std::string& command, double t) const;

  // The values it reports: a process value in tenths, and a signed count.
  double ProcessValue(double t) const;
  int Count(double t) const;

private:
  bool Drifting;
};

// The two-value dump: "FF FE", two status bytes, then value*100 and count
// as signed 16-bit little-endian numbers, in upper-case hex bytes.
std::string HexDump(double value, int count);
