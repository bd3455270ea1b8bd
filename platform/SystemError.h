#pragma once

#include <cstdint>
#include <string>

namespace platform {

// The calling thread's last operating-system error code (GetLastError).
std::uint32_t GetLastError();
void SetLastError(std::uint32_t code);

// The system's own text for an error code (FormatMessageA from the system
// table, language 0x400), possibly ending in a line break; empty when the
// system has no text for it.
std::string FormatSystemMessage(std::uint32_t code);

} // namespace platform
