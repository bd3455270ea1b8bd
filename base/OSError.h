#pragma once

#include <cstdint>
#include <string>

// "System Error.  Code: <code>." CR LF and the system's text for the code,
// its trailing blanks, line breaks and full stops removed; for code 0,
// "A call to an OS function failed".
std::string OSErrorMessage(std::uint32_t code);

// Raises the message above for the thread's last operating-system error.
[[noreturn]] void RaiseLastOSError();
