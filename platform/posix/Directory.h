#pragma once

#include "platform/posix/FileId.h"

#include <optional>
#include <string>
#include <vector>

namespace platform::posix {

// A folder held open, so names inside it are looked up from there rather
// than walked again from the root: the port scans look at every device
// several times on each drop-down of the port selector.
class Directory {
public:
  explicit Directory(const std::string& path);
  // A folder inside parent (or where the link of that name leads).
  Directory(const Directory& parent, const std::string& name);
  ~Directory();
  Directory(const Directory&) = delete;
  Directory& operator=(const Directory&) = delete;

  bool IsOpen() const { return Fd >= 0; }

  // The names in the folder, "." and ".." left out.
  std::vector<std::string> Names() const;
  // Which file the name leads to, links followed; empty when none.
  std::optional<FileId> FileIdOf(const std::string& name) const;
  // The text of the link of that name; empty when it is not a link.
  std::optional<std::string> ReadLink(const std::string& name) const;
  // The file's first line without its line end; empty when unreadable.
  std::string ReadFirstLine(const std::string& name) const;

private:
  int Fd = -1;
};

} // namespace platform::posix
