#pragma once

#include <windows.h>

namespace platform {

// Whether an access list lets anyone read but the owner, SYSTEM and the
// Administrators group; no list at all lets everyone. Entries are read in
// order, as the system does: a read denied to someone before it is allowed
// to them does not count.
bool LetsOthersRead(const ACL* list, PSID owner);

} // namespace platform
