#pragma once

#include <string>
#include <string_view>

// The system's byte strings are in its ANSI code page; everything that leaves
// the program as text (the window, UTF-8 files) goes through these two.
namespace platform {

// Bytes of the system's code page to UTF-8.
std::string SystemToUtf8(std::string_view bytes);

// UTF-8 to the system's code page; a character the code page lacks becomes '?'.
std::string Utf8ToSystem(std::string_view text);

} // namespace platform
