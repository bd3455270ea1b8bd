#pragma once

#include <string>
#include <string_view>

namespace platform::posix {

// The registry's strings are byte strings, shown as Latin-1. A .reg file in
// Unicode (regedit's "Windows Registry Editor Version 5.00" export) becomes
// those bytes: each character up to U+00FF is its byte, every other one,
// a lone surrogate included, is '?', as the system's ANSI calls read it.

// The first line of a Unicode export; REGEDIT4 heads the older, byte kind.
inline constexpr std::string_view UnicodeRegeditHeader = "Windows Registry Editor Version 5.00";

struct RegeditText {
  bool Ok = true;
  std::string Text;    // the file's text as bytes, without a byte-order mark
  std::string Problem; // why it is not text, when not Ok
};

// A file with the UTF-16LE byte-order mark is UTF-16LE, and one with the
// UTF-8 mark, or without a mark but headed by the version-5 line, UTF-8;
// any other file is taken byte for byte, as REGEDIT4 always was. In UTF-8 a
// byte that begins no valid sequence stands for itself, so a file edited in
// a Latin-1 editor still reads; UTF-16 with an odd number of bytes is not
// text.
RegeditText DecodeRegeditFile(std::string_view file);

// The data of a string value (REG_SZ, REG_EXPAND_SZ, REG_MULTI_SZ) written
// as hex bytes in a Unicode file, UTF-16LE, as bytes; an odd last byte, half
// a character, is dropped.
std::string NarrowUtf16Data(std::string_view data);

} // namespace platform::posix
