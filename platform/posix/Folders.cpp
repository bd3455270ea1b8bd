#include "platform/Folders.h"

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

std::string JoinPath(const std::string& folder, const std::string& name) {
  if (folder.empty() || folder.back() == '/')
    return folder + name;
  return folder + '/' + name;
}

bool MakeFolders(const std::string& path) {
  for (std::size_t end = path.find('/', 1);; end = path.find('/', end + 1)) {
    const std::string part = path.substr(0, end);
    if (!part.empty() && ::mkdir(part.c_str(), 0777) != 0 && errno != EEXIST)
      return false;
    if (end == std::string::npos)
      break;
  }
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0)
    return false;
  if (!S_ISDIR(info.st_mode)) {
    errno = ENOTDIR;
    return false;
  }
  return true;
}

std::vector<std::string> FileNames(const std::string& folder) {
  std::vector<std::string> names;
  DIR* dir = ::opendir(folder.c_str());
  if (dir == nullptr)
    return names;
  while (const dirent* entry = ::readdir(dir)) {
    // Types the file system does not report are looked up.
    bool plain = entry->d_type == DT_REG;
    if (entry->d_type == DT_UNKNOWN) {
      struct stat info {};
      plain = ::fstatat(::dirfd(dir), entry->d_name, &info, AT_SYMLINK_NOFOLLOW) == 0 &&
              S_ISREG(info.st_mode);
    }
    if (plain)
      names.emplace_back(entry->d_name);
  }
  ::closedir(dir);
  return names;
}

bool FileExists(const std::string& path) {
  struct stat info {};
  return ::lstat(path.c_str(), &info) == 0;
}

bool RemoveFile(const std::string& path) {
  return ::unlink(path.c_str()) == 0;
}

} // namespace platform
