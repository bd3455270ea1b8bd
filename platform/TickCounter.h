#pragma once

#include <cstdint>

namespace platform {

// Milliseconds since an arbitrary start, 32 bits wide: it wraps after about
// 49.7 days, so intervals are always taken as unsigned differences.
std::uint32_t GetTickCount();

// Suspends the calling thread for about ms milliseconds.
void Sleep(std::uint32_t ms);

} // namespace platform
