#pragma once

#include <cstdint>
#include <optional>
#include <string>

// How the log shows what the instrument sent: as received, with the
// session record's escapes on one line, or each byte in hex. Stored as
// "Log View", 0, 1 or 2.
enum class TLogView : std::int32_t { Text = 0, Escaped = 1, Hex = 2 };
inline constexpr int LogViews = 3;

// The view a stored number names; none for any other number.
std::optional<TLogView> LogViewOf(std::int32_t stored);

// bytes as the view shows them: Hex gives two upper-case digits a byte,
// blank between ("70 2E 0D 0A").
std::string ShownBytes(const std::string& bytes, TLogView view);
