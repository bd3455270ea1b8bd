#include "serial/WireTime.h"

#include <algorithm>

namespace {

constexpr std::uint64_t BitsPerCharacter = 11;

} // namespace

std::uint32_t WireTimeMs(std::size_t bytes, std::uint32_t baud) {
  if (baud == 0)
    return 0;
  const std::uint64_t bitMs = static_cast<std::uint64_t>(bytes) * BitsPerCharacter * 1000;
  return static_cast<std::uint32_t>(std::min<std::uint64_t>((bitMs + baud - 1) / baud, UINT32_MAX));
}
