#pragma once

#include <cstddef>
#include <cstdint>

// Milliseconds that bytes take on the wire at baud, rounded up: eleven bits
// each (start, eight data bits, parity, stop). Zero when the rate is unknown.
std::uint32_t WireTimeMs(std::size_t bytes, std::uint32_t baud);
