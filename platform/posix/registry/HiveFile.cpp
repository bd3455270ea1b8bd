#include "platform/posix/registry/HiveFile.h"

#include "platform/posix/ConfigDir.h"
#include "platform/posix/ReplaceFile.h"
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

std::string LocalTimeStamp() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  ::localtime_r(&now, &local);
  char buffer[32];
  std::strftime(buffer, sizeof buffer, "%Y%m%d-%H%M%S", &local);
  return buffer;
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
  return ReplaceAtomically(path, text, 0600);
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
