#pragma once

#include <string>
#include <string_view>

// Blanks and control characters: every byte up to and including the space.
bool IsBlankOrControl(char c);

// The text without leading and trailing blanks and control characters.
std::string TrimBlanks(std::string_view text);

// The answer with every echo of command removed. Only occurrences that stand
// as whole tokens (bounded by the text's ends, blanks or control characters)
// count, so a command that also occurs inside a value leaves its digits alone.
std::string StripEcho(std::string answer, std::string_view command);

// What a monitor panel shows for an answer to command.
std::string PanelCaption(const std::string& answer, std::string_view command);
