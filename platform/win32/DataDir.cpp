#include "platform/DataDir.h"

#include <windows.h>

namespace platform {

namespace {

std::string Environment(const char* name) {
  char value[MAX_PATH + 1] = {};
  const DWORD length = ::GetEnvironmentVariableA(name, value, sizeof value);
  return length > 0 && length < sizeof value ? std::string(value, length) : std::string();
}

} // namespace

std::string DataDir() {
  std::string base = Environment("LOCALAPPDATA");
  if (base.empty()) {
    const std::string profile = Environment("USERPROFILE");
    base = profile.empty() ? std::string(".") : profile + "\\AppData\\Local";
  }
  return base + "\\marrowlink";
}

} // namespace platform
