#include "platform/DataDir.h"

#include <cstdlib>
#include <pwd.h>
#include <unistd.h>

namespace platform {

namespace {

std::string HomeDir() {
  if (const char* home = std::getenv("HOME"); home && home[0] != '\0')
    return home;
  if (const passwd* entry = ::getpwuid(::getuid()); entry && entry->pw_dir)
    return entry->pw_dir;
  return "/";
}

} // namespace

std::string DataDir() {
  // A relative value is to be ignored, as with the configuration folder.
  const char* xdg = std::getenv("XDG_DATA_HOME");
  const std::string base = (xdg && xdg[0] == '/') ? std::string(xdg) : HomeDir() + "/.local/share";
  return base + "/marrowlink";
}

} // namespace platform
