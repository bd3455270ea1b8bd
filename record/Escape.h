#pragma once

#include <string>
#include <string_view>

// A text field of a session line: every byte kept, the line pure printable
// ASCII without tabs or line ends. Backslash, tab, CR and LF become \\ \t
// \r \n; every other byte below 32 or above 126 becomes \xHH (upper case).
std::string EscapeField(std::string_view bytes);

// The bytes back from an escaped field; a backslash that starts no escape
// stands for itself.
std::string UnescapeField(std::string_view field);
