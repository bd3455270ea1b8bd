#include "cli/Duration.h"

#include "cli/ExitStatus.h"

#include <array>
#include <charconv>
#include <string>
#include <utility>

namespace {

constexpr std::uint64_t LongestMs = 49ULL * 24 * 3600 * 1000;

std::uint64_t UnitMs(std::string_view unit) {
  constexpr std::array<std::pair<std::string_view, std::uint64_t>, 6> units{{
      {"", 1000},
      {"ms", 1},
      {"s", 1000},
      {"m", 60 * 1000},
      {"h", 3600 * 1000},
      {"d", 24 * 3600 * 1000},
  }};
  for (const auto& [name, ms] : units)
    if (name == unit)
      return ms;
  return 0;
}

} // namespace

std::uint32_t ParseDurationMs(std::string_view text) {
  std::uint64_t count = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), count);
  const std::uint64_t unit =
      error == std::errc() ? UnitMs(text.substr(static_cast<std::size_t>(end - text.data()))) : 0;
  if (end == text.data() || unit == 0)
    throw TUsageError("\"" + std::string(text) + "\" is not a duration (e.g. 500ms, 1s, 5m, 8h)");
  if (count == 0)
    throw TUsageError("a duration of zero is not allowed: \"" + std::string(text) + "\"");
  if (count > LongestMs / unit)
    throw TUsageError("\"" + std::string(text) + "\" is longer than 49 days");
  return static_cast<std::uint32_t>(count * unit);
}
