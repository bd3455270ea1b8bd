#pragma once

#include <string>
#include <string_view>

// A message of the system for standard error: prefixed with the program's
// name, its CR LF line breaks made the terminal's, ending in a line break.
std::string ErrorLine(std::string_view message);
