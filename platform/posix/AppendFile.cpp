#include "platform/AppendFile.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

int Fd(std::intptr_t handle) {
  return static_cast<int>(handle);
}

} // namespace

AppendFile::~AppendFile() {
  Close();
}

bool AppendFile::Open(const std::string& path, bool truncate) {
  Close();
  // Read as well: the last byte tells whether the file ends in a whole line.
  const int flags = O_RDWR | O_CREAT | O_APPEND | O_CLOEXEC | (truncate ? O_TRUNC : 0);
  const int fd = ::open(path.c_str(), flags, 0666);
  if (fd < 0)
    return false;
  Handle = fd;
  Path = path;
  return true;
}

void AppendFile::Close() {
  if (Handle != Closed)
    ::close(Fd(Handle));
  Handle = Closed;
}

// Writers of one file take turns, so each knows the end it writes after: a
// line that a killed program left unfinished (a kill can cut a write short
// between two pages) is ended before the next one, and the front of a line
// that a full disk cut short is taken back without touching another's.
bool AppendFile::Write(std::string_view bytes) {
  if (Handle == Closed) {
    errno = EBADF;
    return false;
  }
  const int fd = Fd(Handle);
  while (::flock(fd, LOCK_EX) != 0)
    if (errno != EINTR)
      return false;
  struct TUnlock {
    int Fd;
    ~TUnlock() { ::flock(Fd, LOCK_UN); }
  } unlock{fd};
  struct stat info {};
  if (::fstat(fd, &info) != 0)
    return false;
  char last = '\n';
  if (info.st_size > 0 && ::pread(fd, &last, 1, info.st_size - 1) == 1 && last != '\n' &&
      ::write(fd, "\n", 1) == 1)
    ++info.st_size;
  ssize_t written = -1;
  do
    written = ::write(fd, bytes.data(), bytes.size());
  while (written < 0 && errno == EINTR);
  if (written == static_cast<ssize_t>(bytes.size()))
    return true;
  if (written > 0) {
    static_cast<void>(::ftruncate(fd, info.st_size));
    errno = ENOSPC;
  }
  return false;
}

bool AppendFile::Unlinked() {
  struct stat info {};
  return Handle != Closed && ::fstat(Fd(Handle), &info) == 0 && info.st_nlink == 0;
}

} // namespace platform
