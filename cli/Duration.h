#pragma once

#include <cstdint>
#include <string_view>

// A duration as a person writes it: digits and a unit, ms, s, m, h or d
// ("500ms", "1s", "8h"); digits alone are seconds. Raises TUsageError for
// anything else, for zero, and beyond 49 days (the tick counter's span).
std::uint32_t ParseDurationMs(std::string_view text);
