#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <sys/types.h>

namespace platform::posix {

// What the name of a temporary file carries after the name it replaces.
constexpr std::string_view TemporarySuffix = ".tmp-";

// The folder of a path: "." for a bare name, "/" for a file at the root.
std::string FolderOf(const std::string& path);

// The file a chain of symbolic links ends at, which need not exist yet; the
// path itself when it is no link. A loop of links ends at its last step
// read, which a rename then replaces as it would a plain file.
std::string FinalTarget(const std::string& path);

// Flushes a folder's entries (a rename in it) to disk; 0 or an errno.
int SyncFolder(const std::string& folder);

// Replaces the file at path, which must be no link, with bytes: a temporary
// <path>.tmp-... in the same folder, written, flushed to disk, renamed over
// it, then the folder flushed. The new file gets mode when one is given, or
// else 0666 less the umask. Returns 0 or an errno; a failure leaves the
// file as it was and removes the temporary.
int ReplaceAtomically(const std::string& path, std::string_view bytes, std::optional<mode_t> mode);

} // namespace platform::posix
