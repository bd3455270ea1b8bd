#pragma once

#include <cstdint>
#include <functional>

namespace platform::posix {

// Waits for the bytes written to a serial descriptor to leave, as tcdrain
// does, but never longer than about limitMs: false with errno ETIMEDOUT
// past it, or false with the errno of a failed call. drain is the final
// wait for the driver's last bytes (tcdrain).
bool DrainOutput(int fd, std::uint32_t limitMs, const std::function<int(int)>& drain);

} // namespace platform::posix
