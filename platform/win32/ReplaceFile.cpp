#include "platform/ReplaceFile.h"

#include <windows.h>

#include <algorithm>
#include <atomic>

namespace platform {

namespace {

bool WriteAll(HANDLE file, std::string_view bytes) {
  while (!bytes.empty()) {
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
    DWORD written = 0;
    if (!::WriteFile(file, bytes.data(), chunk, &written, nullptr))
      return false;
    if (written == 0) {
      ::SetLastError(ERROR_DISK_FULL);
      return false;
    }
    bytes.remove_prefix(written);
  }
  return true;
}

// A name of the process's own beside path, made here and nowhere else.
HANDLE CreateTemporary(const std::string& path, std::string& name) {
  static std::atomic<unsigned> made{0};
  for (int attempt = 0; attempt < 100; ++attempt) {
    name = path + ".tmp-" + std::to_string(::GetCurrentProcessId()) + "-" + std::to_string(made++);
    const HANDLE file = ::CreateFileA(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE || ::GetLastError() != ERROR_FILE_EXISTS)
      return file;
  }
  return INVALID_HANDLE_VALUE;
}

} // namespace

bool ReplaceFileContents(const std::string& path, std::string_view bytes) {
  std::string temporary;
  const HANDLE file = CreateTemporary(path, temporary);
  if (file == INVALID_HANDLE_VALUE)
    return false;
  DWORD error = ERROR_SUCCESS;
  if (!WriteAll(file, bytes) || !::FlushFileBuffers(file))
    error = ::GetLastError();
  if (!::CloseHandle(file) && error == ERROR_SUCCESS)
    error = ::GetLastError();
  if (error == ERROR_SUCCESS && !::MoveFileExA(temporary.c_str(), path.c_str(),
                                               MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    error = ::GetLastError();
  if (error == ERROR_SUCCESS)
    return true;
  ::DeleteFileA(temporary.c_str());
  ::SetLastError(error);
  return false;
}

} // namespace platform
