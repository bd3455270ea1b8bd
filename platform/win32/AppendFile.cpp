#include "platform/AppendFile.h"

#include <windows.h>

namespace platform {

namespace {

HANDLE Native(std::intptr_t handle) {
  return reinterpret_cast<HANDLE>(handle);
}

// Writers of one file take turns by an exclusive lock on one byte far
// beyond any end the file will reach, so that the lock never stands in the
// way of a reader of the lines themselves.
constexpr DWORD TurnOffsetHigh = 0x7FFFFFFF;

// Every write goes to the end as it is at that moment, also with another
// program appending.
bool WriteAtEnd(HANDLE handle, std::string_view bytes, DWORD& written) {
  OVERLAPPED end{};
  end.Offset = 0xFFFFFFFF;
  end.OffsetHigh = 0xFFFFFFFF;
  written = 0;
  return ::WriteFile(handle, bytes.data(), static_cast<DWORD>(bytes.size()), &written, &end) != 0;
}

bool EndsInWholeLine(HANDLE handle, LONGLONG size) {
  if (size == 0)
    return true;
  OVERLAPPED last{};
  last.Offset = static_cast<DWORD>((size - 1) & 0xFFFFFFFF);
  last.OffsetHigh = static_cast<DWORD>((size - 1) >> 32);
  char byte = '\n';
  DWORD read = 0;
  return !::ReadFile(handle, &byte, 1, &read, &last) || read != 1 || byte == '\n';
}

// Read as well: the last byte tells whether the file ends in a whole line.
// Others may read, write and delete.
HANDLE OpenPath(const std::string& path, DWORD disposition) {
  return ::CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE,
                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, disposition,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

} // namespace

AppendFile::~AppendFile() {
  Close();
}

bool AppendFile::Open(const std::string& path, bool truncate) {
  Close();
  const HANDLE handle = OpenPath(path, truncate ? CREATE_ALWAYS : OPEN_ALWAYS);
  if (handle == INVALID_HANDLE_VALUE)
    return false;
  Handle = reinterpret_cast<std::intptr_t>(handle);
  Path = path;
  return true;
}

void AppendFile::Close() {
  if (Handle != Closed)
    ::CloseHandle(Native(Handle));
  Handle = Closed;
}

// Holding the turn, each writer knows the end it writes after: a line that
// a killed program left unfinished is ended before the next one, and the
// front of a line that a full disk cut short is taken back without
// touching another's.
bool AppendFile::Write(std::string_view bytes) {
  if (Handle == Closed) {
    ::SetLastError(ERROR_INVALID_HANDLE);
    return false;
  }
  const HANDLE handle = Native(Handle);
  OVERLAPPED turn{};
  turn.OffsetHigh = TurnOffsetHigh;
  if (!::LockFileEx(handle, LOCKFILE_EXCLUSIVE_LOCK, 0, 1, 0, &turn))
    return false;
  struct TUnlock {
    HANDLE File;
    OVERLAPPED& Turn;
    ~TUnlock() { ::UnlockFileEx(File, 0, 1, 0, &Turn); }
  } unlock{handle, turn};
  FILE_END_OF_FILE_INFO end{};
  if (!::GetFileSizeEx(handle, &end.EndOfFile))
    return false;
  DWORD written = 0;
  if (!EndsInWholeLine(handle, end.EndOfFile.QuadPart) && WriteAtEnd(handle, "\n", written) &&
      written == 1)
    ++end.EndOfFile.QuadPart;
  const bool wrote = WriteAtEnd(handle, bytes, written);
  if (wrote && written == bytes.size())
    return true;
  const DWORD error = wrote ? ERROR_DISK_FULL : ::GetLastError();
  ::SetFileInformationByHandle(handle, FileEndOfFileInfo, &end, sizeof end);
  ::SetLastError(error);
  return false;
}

bool AppendFile::Unlinked() {
  if (Handle == Closed)
    return false;
  FILE_STANDARD_INFO standard{};
  BY_HANDLE_FILE_INFORMATION opened{};
  if (!::GetFileInformationByHandleEx(Native(Handle), FileStandardInfo, &standard,
                                      sizeof standard) ||
      !::GetFileInformationByHandle(Native(Handle), &opened))
    return false;
  if (standard.DeletePending || standard.NumberOfLinks == 0)
    return true;
  // A file deleted while open may keep its name, and report nothing, until
  // its last handle is closed (so under Wine): let go of it, and see
  // whether its path still leads to the same file.
  Close();
  const HANDLE handle = OpenPath(Path, OPEN_EXISTING);
  if (handle == INVALID_HANDLE_VALUE)
    return true;
  Handle = reinterpret_cast<std::intptr_t>(handle);
  BY_HANDLE_FILE_INFORMATION now{};
  return !::GetFileInformationByHandle(handle, &now) ||
         now.dwVolumeSerialNumber != opened.dwVolumeSerialNumber ||
         now.nFileIndexHigh != opened.nFileIndexHigh || now.nFileIndexLow != opened.nFileIndexLow;
}

} // namespace platform
