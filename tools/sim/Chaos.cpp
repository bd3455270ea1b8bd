#include "tools/sim/Chaos.h"

namespace {

constexpr std::size_t HugeSize = 64 * 1024;

} // namespace

TChaos::TChaos(std::uint32_t seed) : Random(seed) {
  UntilVanish = Between(40, 120);
}

int TChaos::Between(int low, int high) {
  return std::uniform_int_distribution<int>(low, high)(Random);
}

std::string TChaos::RandomBytes(std::size_t length, bool withNul) {
  std::string bytes(length, '\0');
  for (char& c : bytes)
    c = static_cast<char>(Between(withNul ? 0 : 1, 255));
  return bytes;
}

// The port vanishes on a schedule rather than by chance, so that even a
// short run sees it; everything else is drawn for each request.
TChaos::TKind TChaos::Pick() {
  if (--UntilVanish <= 0) {
    UntilVanish = Between(40, 120);
    return TKind::Vanish;
  }
  const int roll = Between(0, 99);
  if (roll < 40)
    return TKind::Plain;
  if (roll < 50)
    return TKind::Silence;
  if (roll < 60)
    return TKind::Garbage;
  if (roll < 70)
    return TKind::NulBytes;
  if (roll < 75)
    return TKind::Huge;
  if (roll < 88)
    return TKind::Split;
  return TKind::Late;
}

TDelivery TChaos::Next(const std::optional<std::string>& answer) {
  const TKind kind = Pick();
  ++Chosen[static_cast<std::size_t>(kind)];
  TDelivery delivery;
  delivery.Answer = answer;
  switch (kind) {
  case TKind::Plain:
  case TKind::Count:
    break;
  case TKind::Silence:
    delivery.Answer.reset();
    break;
  case TKind::Garbage:
    delivery.Answer = RandomBytes(static_cast<std::size_t>(Between(1, 200)), true);
    break;
  case TKind::NulBytes: {
    // NULs alone, or inside a real answer where a reader of C strings
    // would stop.
    std::string text = answer.value_or(std::string());
    const auto at = static_cast<std::size_t>(Between(0, static_cast<int>(text.size())));
    text.insert(at, std::string(static_cast<std::size_t>(Between(1, 64)), '\0'));
    delivery.Answer = text;
    break;
  }
  case TKind::Huge:
    delivery.Answer = RandomBytes(HugeSize, Between(0, 1) == 1) + answer.value_or(std::string());
    break;
  case TKind::Split:
    delivery.Pieces = Between(2, 6);
    delivery.GapMs = Between(20, 200);
    break;
  case TKind::Late:
    delivery.DelayMs = Between(300, 900);
    break;
  case TKind::Vanish:
    delivery.Answer.reset();
    delivery.Vanish = true;
    delivery.VanishMs = Between(1000, 5000);
    break;
  }
  return delivery;
}

const char* TChaos::Name(TKind kind) {
  switch (kind) {
  case TKind::Plain:
    return "plain";
  case TKind::Silence:
    return "silence";
  case TKind::Garbage:
    return "garbage";
  case TKind::NulBytes:
    return "nul";
  case TKind::Huge:
    return "huge";
  case TKind::Split:
    return "split";
  case TKind::Late:
    return "late";
  case TKind::Vanish:
    return "vanish";
  case TKind::Count:
    break;
  }
  return "?";
}
