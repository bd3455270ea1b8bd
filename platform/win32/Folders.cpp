#include "platform/Folders.h"

#include <windows.h>

namespace platform {

namespace {

bool IsSeparator(char c) {
  return c == '\\' || c == '/';
}

} // namespace

std::string JoinPath(const std::string& folder, const std::string& name) {
  if (folder.empty() || IsSeparator(folder.back()))
    return folder + name;
  return folder + '\\' + name;
}

bool MakeFolders(const std::string& path) {
  // Making a folder that exists but may not be made, such as a share's
  // root, is refused; whether the whole path is a folder in the end settles
  // it, and the first refusal is the reason when it is not.
  DWORD refused = ERROR_SUCCESS;
  for (std::size_t end = 0; end <= path.size(); ++end) {
    if (end < path.size() && !IsSeparator(path[end]))
      continue;
    const std::string part = path.substr(0, end);
    // Drive roots ("C:") and empty leading parts of "\\server" need no making.
    const bool root = part.empty() || part.back() == ':' || IsSeparator(part.back());
    if (!root && !::CreateDirectoryA(part.c_str(), nullptr) &&
        ::GetLastError() != ERROR_ALREADY_EXISTS && refused == ERROR_SUCCESS)
      refused = ::GetLastError();
  }
  const DWORD attributes = ::GetFileAttributesA(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    if (refused != ERROR_SUCCESS)
      ::SetLastError(refused);
    return false;
  }
  if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
    ::SetLastError(ERROR_DIRECTORY);
    return false;
  }
  return true;
}

std::vector<std::string> FileNames(const std::string& folder) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA entry{};
  const HANDLE find = ::FindFirstFileA(JoinPath(folder, "*").c_str(), &entry);
  if (find == INVALID_HANDLE_VALUE)
    return names;
  do {
    if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
      names.emplace_back(entry.cFileName);
  } while (::FindNextFileA(find, &entry));
  ::FindClose(find);
  return names;
}

bool FileExists(const std::string& path) {
  return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool RemoveFile(const std::string& path) {
  return ::DeleteFileA(path.c_str()) != 0;
}

} // namespace platform
