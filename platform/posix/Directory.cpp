#include "platform/posix/Directory.h"

#include <array>
#include <cctype>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform::posix {

namespace {

constexpr int DirectoryFlags = O_RDONLY | O_DIRECTORY | O_CLOEXEC;

} // namespace

Directory::Directory(const std::string& path) : Fd(::open(path.c_str(), DirectoryFlags)) {}

Directory::Directory(const Directory& parent, const std::string& name)
    : Fd(parent.IsOpen() ? ::openat(parent.Fd, name.c_str(), DirectoryFlags) : -1) {}

Directory::~Directory() {
  if (Fd >= 0)
    ::close(Fd);
}

std::vector<std::string> Directory::Names() const {
  std::vector<std::string> names;
  const int listing = IsOpen() ? ::openat(Fd, ".", DirectoryFlags) : -1;
  if (listing < 0)
    return names;
  DIR* dir = ::fdopendir(listing);
  if (!dir) {
    ::close(listing);
    return names;
  }
  while (const dirent* entry = ::readdir(dir)) {
    const std::string name = entry->d_name;
    if (name != "." && name != "..")
      names.push_back(name);
  }
  ::closedir(dir);
  return names;
}

std::optional<FileId> Directory::FileIdOf(const std::string& name) const {
  struct stat info {};
  if (!IsOpen() || ::fstatat(Fd, name.c_str(), &info, 0) != 0)
    return std::nullopt;
  return FileId{static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino)};
}

std::optional<std::string> Directory::ReadLink(const std::string& name) const {
  std::array<char, 4096> buffer{};
  const ssize_t size = IsOpen() ? ::readlinkat(Fd, name.c_str(), buffer.data(), buffer.size()) : -1;
  if (size < 0 || static_cast<std::size_t>(size) >= buffer.size())
    return std::nullopt;
  return std::string(buffer.data(), static_cast<std::size_t>(size));
}

std::string Directory::ReadFirstLine(const std::string& name) const {
  const int file = IsOpen() ? ::openat(Fd, name.c_str(), O_RDONLY | O_CLOEXEC) : -1;
  if (file < 0)
    return {};
  // sysfs attributes are one short line.
  std::array<char, 512> buffer{};
  const ssize_t size = ::read(file, buffer.data(), buffer.size());
  ::close(file);
  std::string text(buffer.data(), size > 0 ? static_cast<std::size_t>(size) : 0);
  text = text.substr(0, text.find('\n'));
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back())))
    text.pop_back();
  return text;
}

} // namespace platform::posix
