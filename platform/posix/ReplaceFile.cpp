#include "platform/ReplaceFile.h"

#include "platform/posix/ReplaceFile.h"

#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform::posix {

namespace {

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = ::write(fd, bytes.data(), bytes.size());
    if (written < 0) {
      if (errno == EINTR)
        continue;
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

// A name of the process's own beside path, made here and nowhere else: a
// name left by a killed program that had the same process id is skipped.
int CreateTemporary(const std::string& path, mode_t mode, std::string& name) {
  static std::atomic<unsigned> made{0};
  for (int attempt = 0; attempt < 100; ++attempt) {
    name = path + std::string(TemporarySuffix) + std::to_string(::getpid()) + "-" +
           std::to_string(made++);
    const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (fd >= 0 || errno != EEXIST)
      return fd;
  }
  return -1;
}

} // namespace

std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos)
    return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

std::string FinalTarget(const std::string& path) {
  constexpr int MaxLinks = 40; // as the kernel follows
  std::string current = path;
  for (int step = 0; step < MaxLinks; ++step) {
    std::string target(4096, '\0');
    const ssize_t length = ::readlink(current.c_str(), target.data(), target.size());
    if (length < 0 || static_cast<std::size_t>(length) >= target.size())
      return current;
    target.resize(static_cast<std::size_t>(length));
    current = target.starts_with('/') ? target : FolderOf(current) + "/" + target;
  }
  return current;
}

int SyncFolder(const std::string& folder) {
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0)
    return errno;
  const int error = ::fsync(fd) == 0 ? 0 : errno;
  ::close(fd);
  return error;
}

int ReplaceAtomically(const std::string& path, std::string_view bytes, std::optional<mode_t> mode) {
  std::string temporary;
  const int fd = CreateTemporary(path, mode.value_or(0666), temporary);
  if (fd < 0)
    return errno;
  int error = 0;
  // The umask may have taken bits of a mode asked for.
  if ((mode && ::fchmod(fd, *mode) != 0) || !WriteAll(fd, bytes) || ::fsync(fd) != 0)
    error = errno;
  if (::close(fd) != 0 && error == 0)
    error = errno;
  if (error == 0 && ::rename(temporary.c_str(), path.c_str()) != 0)
    error = errno;
  if (error != 0) {
    ::unlink(temporary.c_str());
    return error;
  }
  // The rename itself must reach the disk, or a power cut could bring back
  // the old file after the program reported success.
  return SyncFolder(FolderOf(path));
}

} // namespace platform::posix

namespace platform {

bool ReplaceFileContents(const std::string& path, std::string_view bytes) {
  // A link stays a link: the file it leads to is replaced.
  const std::string target = posix::FinalTarget(path);
  std::optional<mode_t> mode;
  if (struct stat info{}; ::stat(target.c_str(), &info) == 0)
    mode = info.st_mode & 07777;
  const int error = posix::ReplaceAtomically(target, bytes, mode);
  errno = error;
  return error == 0;
}

} // namespace platform
