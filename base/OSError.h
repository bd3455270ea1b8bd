#pragma once

#include <cstdint>
#include <string>

// The system's text for an error code, its trailing blanks, line breaks and
// full stops removed; empty when the system has none.
std::string SystemMessageText(std::uint32_t code);

// "System Error.  Code: <code>." CR LF and the system's text for the code,
// its trailing blanks, line breaks and full stops removed; for code 0,
// "A call to an OS function failed".
std::string OSErrorMessage(std::uint32_t code);

// Raises the message above for the thread's last operating-system error.
[[noreturn]] void RaiseLastOSError();
