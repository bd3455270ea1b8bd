#pragma once

#include <optional>
#include <string>
#include <string_view>

// A text field of a session line: every byte kept, the line pure printable
// ASCII without tabs or line ends. Backslash, tab, CR and LF become \\ \t
// \r \n; every other byte below 32 or above 126 becomes \xHH (upper case).
std::string EscapeField(std::string_view bytes);

// The bytes back from an escaped field; a backslash that starts no escape
// stands for itself.
std::string UnescapeField(std::string_view field);

// A command as typed, the escapes above undone, as the bytes it sends (its
// line end not included); none when those hold a NUL byte, which no command
// may send. The one reading of a command for the window and marrowlink-cli.
std::optional<std::string> CommandBytes(std::string_view typed);
