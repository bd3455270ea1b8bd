#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

// The system's strict integer syntax: optional leading spaces, one optional
// sign, then decimal digits within the signed 32-bit range, or one to eight
// hexadecimal digits after "$", "x", "X", "0x" or "0X", taken as a 32-bit
// pattern ("$FFFFFFFF" is -1). Nothing may follow the number.
std::optional<std::int32_t> TryStrToInt(std::string_view text);

// As TryStrToInt; raises "'<text>' is not a valid integer value" on failure.
std::int32_t StrToInt(std::string_view text);
