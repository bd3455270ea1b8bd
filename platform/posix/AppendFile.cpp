#include "platform/AppendFile.h"

#include <cerrno>
#include <fcntl.h>
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
  const int flags = O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC | (truncate ? O_TRUNC : 0);
  const int fd = ::open(path.c_str(), flags, 0666);
  if (fd < 0)
    return false;
  Handle = fd;
  return true;
}

void AppendFile::Close() {
  if (Handle != Closed)
    ::close(Fd(Handle));
  Handle = Closed;
}

bool AppendFile::Write(std::string_view bytes) {
  if (Handle == Closed) {
    errno = EBADF;
    return false;
  }
  ssize_t written = -1;
  do
    written = ::write(Fd(Handle), bytes.data(), bytes.size());
  while (written < 0 && errno == EINTR);
  if (written == static_cast<ssize_t>(bytes.size()))
    return true;
  if (written > 0) {
    // A full disk took only the front of the line.
    const off_t end = ::lseek(Fd(Handle), 0, SEEK_CUR);
    if (end >= written)
      static_cast<void>(::ftruncate(Fd(Handle), end - written));
    errno = ENOSPC;
  }
  return false;
}

bool AppendFile::Unlinked() const {
  struct stat info {};
  return Handle != Closed && ::fstat(Fd(Handle), &info) == 0 && info.st_nlink == 0;
}

} // namespace platform
