#include "platform/DosDevices.h"

#include <windows.h>

namespace platform {

std::uint32_t QueryDosDeviceA(const char* deviceName, char* targetPath, std::uint32_t maxChars) {
  return ::QueryDosDeviceA(deviceName, targetPath, maxChars);
}

} // namespace platform
