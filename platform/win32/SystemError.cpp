#include "platform/SystemError.h"

#include <windows.h>

namespace platform {

namespace {

constexpr DWORD UserDefaultLanguage = 0x400;
constexpr DWORD MessageRoom = 1024;

} // namespace

std::uint32_t GetLastError() {
  return ::GetLastError();
}

void SetLastError(std::uint32_t code) {
  ::SetLastError(code);
}

std::string FormatSystemMessage(std::uint32_t code) {
  char text[MessageRoom];
  // Without arguments to fill them, inserts such as %1 stay as they are
  // instead of failing the call.
  const DWORD length =
      ::FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code,
                       UserDefaultLanguage, text, MessageRoom, nullptr);
  return std::string(text, length);
}

} // namespace platform
