#pragma once

#include <string>
#include <string_view>

namespace platform::posix {

// The current user's hive: user.reg in ConfigDir().
std::string HiveFilePath();

struct HiveFileText {
  int Error = 0; // errno of a failed read
  bool Exists = false;
  std::string Text;
};

// Reads the whole file, but never more than one byte past the largest hive
// the parser accepts. A missing file is no error.
HiveFileText ReadHiveFile(const std::string& path);

// Replaces the file so that any reader, and the file after a crash at any
// moment, sees either the old text or the new one: a temporary file of mode
// 0600 in the same folder, written, flushed to disk and renamed over it.
// Creates the folder (mode 0700) when missing. A path that is a symbolic
// link stays one: the file it leads to is replaced. Returns 0 or an errno.
int ReplaceHiveFile(const std::string& path, std::string_view text);

// Removes temporary files that a writer killed mid-write left behind; only
// call it while holding the HiveLock, so no live writer loses its file.
void RemoveStaleTemporaries(const std::string& path);

// Renames the file to <path>.bad-<local time>, never replacing another file;
// returns the new path, or empty with the errno in error.
std::string SetHiveFileAside(const std::string& path, int& error);

// Exclusive lock between processes on <path>.lock, held while the object
// lives. It waits a bounded time, so a stopped holder cannot freeze the
// program: Held() is false then, with the reason in Error().
class HiveLock {
public:
  explicit HiveLock(const std::string& hivePath);
  ~HiveLock();
  HiveLock(const HiveLock&) = delete;
  HiveLock& operator=(const HiveLock&) = delete;

  bool Held() const { return Fd >= 0; }
  int Error() const { return Code; }

private:
  int Fd = -1;
  int Code = 0;
};

} // namespace platform::posix
