#include "platform/TickCounter.h"

#include <windows.h>

namespace platform {

std::uint32_t GetTickCount() {
  return ::GetTickCount();
}

void Sleep(std::uint32_t ms) {
  ::Sleep(ms);
}

} // namespace platform
