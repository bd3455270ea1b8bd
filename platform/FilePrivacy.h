#pragma once

#include <string>

namespace platform {

// Whether users other than the file's owner may read it. On Windows: whether
// its access list lets anyone read it but the owner, SYSTEM and the
// Administrators group.
bool ReadableByOthers(const std::string& path);

// How a user makes a file readable by its owner only, for a message.
std::string OwnerOnlyHint(const std::string& path);

} // namespace platform
