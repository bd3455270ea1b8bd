#pragma once

#include "platform/posix/registry/RegistryHive.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace platform::posix {

// Limits that keep a damaged or hostile file from being taken for a hive;
// the writer keeps within them, so whatever it writes reads back.
inline constexpr std::size_t MaxRegeditLine = 64 * 1024;
inline constexpr std::size_t MaxRegeditFile = 32 * 1024 * 1024;

struct RegeditParse {
  bool Ok = false;
  RegistryHive Hive;
  int Line = 0; // of the fault, 1-based
  std::string Problem;
};

// Reads REGEDIT4 text, or a "Windows Registry Editor Version 5.00" export
// (UTF-16LE or UTF-8, read as bytes: see RegeditEncoding.h) whose string
// values written as hex bytes are UTF-16LE. The header line, "[key]"
// sections, and values as "name"="text", "name"=dword:xxxxxxxx,
// "name"=hex:.. or hex(N):.. with continuation lines, @ for the unnamed
// value; ";" starts a comment line. Deletion entries, values outside a key
// and any other text are faults.
RegeditParse ParseRegedit(std::string_view file);

// Writes the hive as REGEDIT4 text, which every regedit imports, with CR LF
// line ends. Plain strings are quoted with \\ and \" escaped; a string
// holding control characters or a NUL before its end, a long string,
// REG_EXPAND_SZ and every other type are written as hex bytes.
std::string FormatRegedit(const RegistryHive& hive);

} // namespace platform::posix
