#pragma once

#include <cstdint>
#include <string>

// "System Error %.4x - <the system's text for code>", the text's line end kept.
std::string SystemErrorText(std::uint32_t code);

[[noreturn]] void RaiseSystemError(std::uint32_t code);

// RaiseSystemError for the thread's last operating-system error.
[[noreturn]] void RaiseLastSystemError();
