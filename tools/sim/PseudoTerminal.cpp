#include "tools/sim/PseudoTerminal.h"

#include "platform/posix/devices/DosDeviceLinks.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <stdexcept>
#include <system_error>
#include <termios.h>
#include <unistd.h>
#include <utility>

namespace {

[[noreturn]] void Fail(const std::string& what) {
  throw std::system_error(errno, std::generic_category(), what);
}

// A link left behind by a simulator that was killed: it names a
// pseudo-terminal that no longer exists. A dangling link to anything else is
// a real device pinned by hand, and keeps its number.
bool IsStalePtyLink(const std::string& path) {
  std::error_code error;
  const std::filesystem::path target = std::filesystem::read_symlink(path, error);
  return !error && target.string().starts_with("/dev/pts/") &&
         !std::filesystem::exists(target, error);
}

} // namespace

TPseudoTerminal::TPseudoTerminal() {
  Master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (Master < 0 || ::grantpt(Master) != 0 || ::unlockpt(Master) != 0)
    Fail("cannot create a pseudo-terminal");
  const char* name = ::ptsname(Master);
  if (!name)
    Fail("cannot name the pseudo-terminal");
  Path = name;
  Slave = ::open(Path.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (Slave < 0)
    Fail("cannot open " + Path);
  termios tio{};
  ::tcgetattr(Slave, &tio);
  ::cfmakeraw(&tio);
  ::tcsetattr(Slave, TCSANOW, &tio);
  ::fcntl(Master, F_SETFL, ::fcntl(Master, F_GETFL) | O_NONBLOCK);
}

TPseudoTerminal::~TPseudoTerminal() {
  Close();
}

void TPseudoTerminal::Close() {
  if (Slave >= 0)
    ::close(Slave);
  if (Master >= 0)
    ::close(Master);
  Slave = Master = -1;
}

TComLink::TComLink(std::string target, int number) : Target(std::move(target)) {
  const std::string dir = platform::posix::DosDevicesDir();
  std::filesystem::create_directories(dir);
  // Without a number, take the lowest one that no link (even a dangling one,
  // a device pinned by hand) holds; symlink fails if another takes it first.
  for (int n = number > 0 ? number : 1; n < 10000; ++n) {
    const std::string path = dir + "/com" + std::to_string(n);
    if (IsStalePtyLink(path))
      std::filesystem::remove(path);
    if (::symlink(Target.c_str(), path.c_str()) == 0) {
      LinkPath = path;
      Num = n;
      return;
    }
    if (errno != EEXIST || number > 0)
      Fail("cannot register " + path);
  }
  throw std::runtime_error("no free COM number");
}

TComLink::~TComLink() {
  Remove();
}

void TComLink::Remove() {
  if (LinkPath.empty())
    return;
  std::error_code error;
  if (std::filesystem::read_symlink(LinkPath, error) == Target)
    std::filesystem::remove(LinkPath, error);
  LinkPath.clear();
}
