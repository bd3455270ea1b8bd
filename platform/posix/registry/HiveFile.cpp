#include "platform/posix/registry/HiveFile.h"

#include "platform/posix/ConfigDir.h"
#include "platform/posix/registry/RegeditFormat.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <utility>

namespace platform::posix {

namespace {

// Another program's save holds the lock for its write and two fsyncs: a few
// milliseconds when idle, up to a second on a loaded disk, and a writer that
// saves again at once may win the lock back several times. Giving up early
// would lose this program's settings, so the wait is generous.
constexpr auto LockWaitLimit = std::chrono::seconds(15);
constexpr auto LockRetryPause = std::chrono::milliseconds(2);
constexpr std::string_view TemporarySuffix = ".tmp-";

// Closes a descriptor at scope exit.
class FileDescriptor {
public:
  explicit FileDescriptor(int fd) : Fd(fd) {}
  ~FileDescriptor() {
    if (Fd >= 0)
      ::close(Fd);
  }
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;

  int Get() const { return Fd; }
  int Release() { return std::exchange(Fd, -1); }

private:
  int Fd;
};

std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos)
    return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

int MakeFolders(const std::string& folder) {
  struct stat info {};
  if (::stat(folder.c_str(), &info) == 0)
    return S_ISDIR(info.st_mode) ? 0 : ENOTDIR;
  if (folder != "/" && folder != ".")
    if (const int error = MakeFolders(FolderOf(folder)))
      return error;
  if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST)
    return errno;
  return 0;
}

bool WriteAll(int fd, std::string_view text) {
  while (!text.empty()) {
    const ssize_t written = ::write(fd, text.data(), text.size());
    if (written < 0) {
      if (errno == EINTR)
        continue;
      return false;
    }
    text.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

int SyncFolder(const std::string& folder) {
  FileDescriptor fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (fd.Get() < 0 || ::fsync(fd.Get()) != 0)
    return errno;
  return 0;
}

std::string LocalTimeStamp() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  ::localtime_r(&now, &local);
  char buffer[32];
  std::strftime(buffer, sizeof buffer, "%Y%m%d-%H%M%S", &local);
  return buffer;
}

// The file a chain of symbolic links ends at, which need not exist yet; the
// path itself when it is no link. A loop of links ends at its last step
// read, which the rename then replaces as it would a plain file.
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

int OpenLockFile(const std::string& lockPath) {
  const int fd = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (fd >= 0 || (errno != EACCES && errno != EROFS))
    return fd;
  // A lock file left in a folder that became read-only still locks.
  const int error = errno;
  const int readOnly = ::open(lockPath.c_str(), O_RDONLY | O_CLOEXEC);
  if (readOnly < 0)
    errno = error;
  return readOnly;
}

} // namespace

std::string HiveFilePath() {
  return ConfigDir() + "/user.reg";
}

HiveFileText ReadHiveFile(const std::string& path) {
  HiveFileText result;
  FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (fd.Get() < 0) {
    if (errno != ENOENT)
      result.Error = errno;
    return result;
  }
  struct stat info {};
  if (::fstat(fd.Get(), &info) != 0) {
    result.Error = errno;
    return result;
  }
  if (!S_ISREG(info.st_mode)) {
    result.Error = S_ISDIR(info.st_mode) ? EISDIR : EINVAL;
    return result;
  }
  result.Exists = true;
  char buffer[64 * 1024];
  while (result.Text.size() <= MaxRegeditFile) {
    const ssize_t got = ::read(fd.Get(), buffer, sizeof buffer);
    if (got < 0 && errno == EINTR)
      continue;
    if (got < 0) {
      result.Error = errno;
      return result;
    }
    if (got == 0)
      break;
    result.Text.append(buffer, static_cast<std::size_t>(got));
  }
  return result;
}

int ReplaceHiveFile(const std::string& linkOrFile, std::string_view text) {
  // A settings file linked from elsewhere (a dotfile manager does this)
  // stays linked: the new file replaces the link's target.
  const std::string path = FinalTarget(linkOrFile);
  const std::string folder = FolderOf(path);
  if (const int error = MakeFolders(folder))
    return error;
  std::string temporary = path + std::string(TemporarySuffix) + "XXXXXX";
  FileDescriptor fd(::mkostemp(temporary.data(), O_CLOEXEC));
  if (fd.Get() < 0)
    return errno;
  int error = 0;
  if (::fchmod(fd.Get(), 0600) != 0 || !WriteAll(fd.Get(), text) || ::fsync(fd.Get()) != 0)
    error = errno;
  if (::close(fd.Release()) != 0 && error == 0)
    error = errno;
  if (error == 0 && ::rename(temporary.c_str(), path.c_str()) != 0)
    error = errno;
  if (error != 0) {
    ::unlink(temporary.c_str());
    return error;
  }
  // The rename itself must reach the disk, or a power cut could bring back
  // the old file after the program reported success.
  return SyncFolder(folder);
}

void RemoveStaleTemporaries(const std::string& path) {
  const std::filesystem::path hive(FinalTarget(path));
  const std::string prefix = hive.filename().string() + std::string(TemporarySuffix);
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(hive.parent_path(), error))
    if (entry.path().filename().string().starts_with(prefix))
      std::filesystem::remove(entry.path(), error);
}

std::string SetHiveFileAside(const std::string& path, int& error) {
  const std::string base = path + ".bad-" + LocalTimeStamp();
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string aside = attempt == 0 ? base : base + "-" + std::to_string(attempt);
    if (::renameat2(AT_FDCWD, path.c_str(), AT_FDCWD, aside.c_str(), RENAME_NOREPLACE) == 0) {
      SyncFolder(FolderOf(path));
      return aside;
    }
    if (errno != EEXIST) {
      error = errno;
      return {};
    }
  }
  error = EEXIST;
  return {};
}

HiveLock::HiveLock(const std::string& hivePath) {
  const std::string lockPath = hivePath + ".lock";
  if (const int error = MakeFolders(FolderOf(lockPath))) {
    Code = error;
    return;
  }
  FileDescriptor fd(OpenLockFile(lockPath));
  if (fd.Get() < 0) {
    Code = errno;
    return;
  }
  const auto deadline = std::chrono::steady_clock::now() + LockWaitLimit;
  while (::flock(fd.Get(), LOCK_EX | LOCK_NB) != 0) {
    if ((errno != EWOULDBLOCK && errno != EINTR) || std::chrono::steady_clock::now() >= deadline) {
      Code = errno;
      return;
    }
    std::this_thread::sleep_for(LockRetryPause);
  }
  Code = 0;
  Fd = fd.Release();
}

HiveLock::~HiveLock() {
  if (Fd >= 0)
    ::close(Fd);
}

} // namespace platform::posix
