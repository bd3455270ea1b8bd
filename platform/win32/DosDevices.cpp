#include "platform/DosDevices.h"

#include <windows.h>

namespace platform {

const std::uint32_t ErrorInsufficientBuffer = ERROR_INSUFFICIENT_BUFFER;

std::uint32_t QueryDosDeviceA(const char* deviceName, char* targetPath, std::uint32_t maxChars) {
  return ::QueryDosDeviceA(deviceName, targetPath, maxChars);
}

} // namespace platform
