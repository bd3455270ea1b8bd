#include "ui/ColorValue.h"

namespace {

std::uint32_t Bits(std::int32_t color) {
  return static_cast<std::uint32_t>(color);
}

} // namespace

bool IsSystemColor(std::int32_t color) {
  return (Bits(color) >> 24) == 0xFF;
}

int SystemColorIndex(std::int32_t color) {
  return static_cast<int>(Bits(color) & 0xFF);
}

TRgb RgbOfColor(std::int32_t color) {
  const std::uint32_t bits = Bits(color);
  return {static_cast<std::uint8_t>(bits & 0xFF), static_cast<std::uint8_t>((bits >> 8) & 0xFF),
          static_cast<std::uint8_t>((bits >> 16) & 0xFF)};
}

std::int32_t ColorOfRgb(const TRgb& rgb) {
  return static_cast<std::int32_t>(std::uint32_t{rgb.Red} | (std::uint32_t{rgb.Green} << 8) |
                                   (std::uint32_t{rgb.Blue} << 16));
}
