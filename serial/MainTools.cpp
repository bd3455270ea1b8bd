#include "serial/MainTools.h"

#include "base/Exception.h"
#include "base/Format.h"
#include "platform/SystemError.h"

namespace {

constexpr std::size_t MaxMessageLength = 1024;

} // namespace

std::string SystemErrorText(std::uint32_t code) {
  std::string message = platform::FormatSystemMessage(code);
  if (message.size() > MaxMessageLength)
    message.resize(MaxMessageLength);
  return Format("System Error %.4x - %s", code, message);
}

void RaiseSystemError(std::uint32_t code) {
  throw Exception(SystemErrorText(code));
}

void RaiseLastSystemError() {
  RaiseSystemError(platform::GetLastError());
}
