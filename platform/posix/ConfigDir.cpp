#include "platform/posix/ConfigDir.h"

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

// The program's folder under an XDG base folder; a variable that is unset or
// not an absolute path is to be ignored.
std::string XdgFolder(const char* variable, const char* homeDefault) {
  const char* xdg = std::getenv(variable);
  const std::string base = (xdg && xdg[0] == '/') ? std::string(xdg) : HomeDir() + homeDefault;
  return base + "/marrowlink";
}

} // namespace

std::string posix::ConfigDir() {
  return XdgFolder("XDG_CONFIG_HOME", "/.config");
}

std::string DataDir() {
  return XdgFolder("XDG_DATA_HOME", "/.local/share");
}

} // namespace platform
