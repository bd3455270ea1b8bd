#pragma once

#include <compare>
#include <cstdint>

namespace platform::posix {

// Which file a path leads to, symbolic links followed: two paths name the
// same device node exactly when their ids are equal, however they get there.
struct FileId {
  std::uint64_t Device = 0;
  std::uint64_t Inode = 0;
  auto operator<=>(const FileId&) const = default;
};

} // namespace platform::posix
