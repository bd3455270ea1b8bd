#include "platform/SystemError.h"

#include <cerrno>
#include <cstring>

namespace platform {

// On this system the last error is errno itself, so every call that fails
// leaves its code where GetLastError finds it.
std::uint32_t GetLastError() {
  return static_cast<std::uint32_t>(errno);
}

void SetLastError(std::uint32_t code) {
  errno = static_cast<int>(code);
}

std::string FormatSystemMessage(std::uint32_t code) {
  const char* text = ::strerrordesc_np(static_cast<int>(code));
  return text ? std::string(text) : std::string();
}

} // namespace platform
