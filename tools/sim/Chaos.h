#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <random>
#include <string>

// How one answer leaves the instrument.
struct TDelivery {
  std::optional<std::string> Answer; // nothing: silence
  int DelayMs = 0;
  int Pieces = 1;
  int GapMs = 0;
  bool Vanish = false; // close the port instead, for VanishMs, then come back
  int VanishMs = 0;
};

// An instrument that misbehaves at random, as a failing one in the field
// does: silence, garbage, NUL bytes, 64 KB answers, answers split across
// reads or late enough to land in the next exchange, and now and then the
// port vanishing for a few seconds. A seed makes a run repeatable.
class TChaos {
public:
  enum class TKind { Plain, Silence, Garbage, NulBytes, Huge, Split, Late, Vanish, Count };

  explicit TChaos(std::uint32_t seed);

  // What happens to the answer the instrument would give (nothing when it
  // does not know the command).
  TDelivery Next(const std::optional<std::string>& answer);

  // How often each kind was chosen, for the summary at exit.
  using TCounts = std::array<int, static_cast<std::size_t>(TKind::Count)>;
  const TCounts& Counts() const { return Chosen; }
  static const char* Name(TKind kind);

private:
  TKind Pick();
  std::string RandomBytes(std::size_t length, bool withNul);
  int Between(int low, int high);

  std::mt19937 Random;
  int UntilVanish = 0;
  TCounts Chosen{};
};
