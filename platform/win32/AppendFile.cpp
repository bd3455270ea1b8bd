#include "platform/AppendFile.h"

#include <windows.h>

namespace platform {

namespace {

HANDLE Native(std::intptr_t handle) {
  return reinterpret_cast<HANDLE>(handle);
}

} // namespace

AppendFile::~AppendFile() {
  Close();
}

bool AppendFile::Open(const std::string& path, bool truncate) {
  Close();
  // Append-only access makes every write land at the current end, also
  // with another program appending; others may read, write and delete.
  const HANDLE handle =
      ::CreateFileA(path.c_str(), truncate ? GENERIC_WRITE : FILE_APPEND_DATA | SYNCHRONIZE,
                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                    truncate ? CREATE_ALWAYS : OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE)
    return false;
  Handle = reinterpret_cast<std::intptr_t>(handle);
  return true;
}

void AppendFile::Close() {
  if (Handle != Closed)
    ::CloseHandle(Native(Handle));
  Handle = Closed;
}

bool AppendFile::Write(std::string_view bytes) {
  if (Handle == Closed) {
    ::SetLastError(ERROR_INVALID_HANDLE);
    return false;
  }
  DWORD written = 0;
  if (!::WriteFile(Native(Handle), bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                   nullptr))
    return false;
  if (written != bytes.size()) {
    ::SetLastError(ERROR_DISK_FULL);
    return false;
  }
  return true;
}

bool AppendFile::Unlinked() const {
  FILE_STANDARD_INFO info{};
  if (Handle == Closed ||
      !::GetFileInformationByHandleEx(Native(Handle), FileStandardInfo, &info, sizeof info))
    return false;
  return info.DeletePending || info.NumberOfLinks == 0;
}

} // namespace platform
