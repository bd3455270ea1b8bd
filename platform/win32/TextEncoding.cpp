#include "platform/TextEncoding.h"

#include <windows.h>

namespace platform {

namespace {

// Converts through UTF-16, as Windows itself does between code pages.
std::string Convert(std::string_view text, UINT from, UINT to) {
  if (text.empty())
    return {};
  const int size = static_cast<int>(text.size());
  const int wide = ::MultiByteToWideChar(from, 0, text.data(), size, nullptr, 0);
  std::wstring utf16(static_cast<std::size_t>(wide), L'\0');
  ::MultiByteToWideChar(from, 0, text.data(), size, utf16.data(), wide);
  // A letter the code page lacks becomes '?', not a look-alike: a command
  // must not go out as another one. UTF-8 takes no such flag.
  const DWORD flags = to == CP_UTF8 ? 0 : WC_NO_BEST_FIT_CHARS;
  const int narrow =
      ::WideCharToMultiByte(to, flags, utf16.data(), wide, nullptr, 0, nullptr, nullptr);
  std::string result(static_cast<std::size_t>(narrow), '\0');
  ::WideCharToMultiByte(to, flags, utf16.data(), wide, result.data(), narrow, nullptr, nullptr);
  return result;
}

} // namespace

std::string SystemToUtf8(std::string_view bytes) {
  return Convert(bytes, CP_ACP, CP_UTF8);
}

std::string Utf8ToSystem(std::string_view text) {
  return Convert(text, CP_UTF8, CP_ACP);
}

} // namespace platform
