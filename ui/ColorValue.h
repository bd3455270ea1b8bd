#pragma once

#include <cstdint>

// Colours as the settings store them: 0x00BBGGRR for a plain colour,
// 0xFF0000nn for system colour number nn.
inline constexpr std::int32_t WindowTextColor = static_cast<std::int32_t>(0xFF000008u);

struct TRgb {
  std::uint8_t Red = 0;
  std::uint8_t Green = 0;
  std::uint8_t Blue = 0;

  bool operator==(const TRgb&) const = default;
};

bool IsSystemColor(std::int32_t color);

// The nn of 0xFF0000nn.
int SystemColorIndex(std::int32_t color);

// The red, green and blue of a plain colour.
TRgb RgbOfColor(std::int32_t color);

std::int32_t ColorOfRgb(const TRgb& rgb);
