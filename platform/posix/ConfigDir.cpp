#include "platform/posix/ConfigDir.h"

#include <cstdlib>
#include <pwd.h>
#include <unistd.h>

namespace platform::posix {

namespace {

std::string HomeDir() {
  if (const char* home = std::getenv("HOME"); home && home[0] != '\0')
    return home;
  if (const passwd* entry = ::getpwuid(::getuid()); entry && entry->pw_dir)
    return entry->pw_dir;
  return "/";
}

} // namespace

std::string ConfigDir() {
  const char* xdg = std::getenv("XDG_CONFIG_HOME");
  const std::string base = (xdg && xdg[0] == '/') ? std::string(xdg) : HomeDir() + "/.config";
  return base + "/marrowlink";
}

} // namespace platform::posix
