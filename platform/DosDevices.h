#pragma once

#include <cstdint>

namespace platform {

// QueryDosDeviceA. With deviceName nullptr: every defined DOS-device name,
// each ended by a NUL, the list ended by one more. With a name: its targets
// in the same form, the first being the one in use. Returns the number of
// characters stored, or 0 with the code in GetLastError (the buffer too
// small, or the name not defined).
std::uint32_t QueryDosDeviceA(const char* deviceName, char* targetPath, std::uint32_t maxChars);

// The last-error code of a QueryDosDeviceA whose buffer is too small
// (ERROR_INSUFFICIENT_BUFFER).
extern const std::uint32_t ErrorInsufficientBuffer;

} // namespace platform
