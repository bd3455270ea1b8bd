#include "base/OSError.h"

#include "base/Exception.h"
#include "base/Format.h"
#include "platform/SystemError.h"

std::string SystemMessageText(std::uint32_t code) {
  std::string text = platform::FormatSystemMessage(code);
  while (!text.empty() &&
         (text.back() == ' ' || text.back() == '\r' || text.back() == '\n' || text.back() == '.'))
    text.pop_back();
  return text;
}

std::string OSErrorMessage(std::uint32_t code) {
  if (code == 0)
    return "A call to an OS function failed";
  return Format("System Error.  Code: %d.", code) + "\r\n" + SystemMessageText(code);
}

void RaiseLastOSError() {
  throw Exception(OSErrorMessage(platform::GetLastError()));
}
