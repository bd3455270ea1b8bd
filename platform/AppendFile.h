#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace platform {

// A file of lines written only at its end, each Write in one system call,
// so that what a Write hands over reaches the system even if the program
// dies the next moment, and two programs appending to one file never
// interleave inside a write. A kill can still cut a long write short; the
// next Write, of this program or another, then ends that line first, so it
// never runs into the next. Failures return false with the last error set.
class AppendFile {
public:
  AppendFile() = default;
  ~AppendFile();
  AppendFile(const AppendFile&) = delete;
  AppendFile& operator=(const AppendFile&) = delete;

  // Opens path, creating it, emptied first when truncate is set.
  bool Open(const std::string& path, bool truncate = false);
  bool IsOpen() const { return Handle != Closed; }
  void Close();

  // All of bytes or none: a write the disk could only take in part is
  // taken back, so the file never ends in half a line.
  bool Write(std::string_view bytes);

  // The file has no name left in any folder: someone deleted it while it
  // was open, and what is written now would be lost with the handle. On
  // Windows a deleted file may keep its name, and say nothing, until its
  // last handle is closed (so under Wine): there this lets go of the file
  // and opens its path again, and a path that then leads to another file,
  // or to none, counts as deleted.
  bool Unlinked();

private:
  static constexpr std::intptr_t Closed = -1;
  std::intptr_t Handle = Closed;
  std::string Path; // as opened
};

} // namespace platform
