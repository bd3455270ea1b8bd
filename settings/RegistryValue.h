#pragma once

#include <cstdint>
#include <string>

// A registry value as stored: its type and its bytes (a string's with the
// terminating NUL).
struct TRegistryValue {
  std::uint32_t Type = 0;
  std::string Data;

  bool operator==(const TRegistryValue&) const = default;
};
