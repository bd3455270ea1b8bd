#include "platform/win32/AccessList.h"

#include <vector>

namespace platform {

namespace {

// Those who may read every file of the machine anyway.
bool MayReadAnyway(PSID sid, PSID owner) {
  return ::EqualSid(sid, owner) || ::IsWellKnownSid(sid, WinLocalSystemSid) ||
         ::IsWellKnownSid(sid, WinBuiltinAdministratorsSid);
}

bool GrantsRead(ACCESS_MASK mask) {
  GENERIC_MAPPING files{FILE_GENERIC_READ, FILE_GENERIC_WRITE, FILE_GENERIC_EXECUTE,
                        FILE_ALL_ACCESS};
  ::MapGenericMask(&mask, &files);
  return (mask & FILE_READ_DATA) != 0;
}

bool AmongDenied(PSID sid, const std::vector<PSID>& denied) {
  for (PSID other : denied)
    if (::EqualSid(sid, other))
      return true;
  return false;
}

} // namespace

bool LetsOthersRead(const ACL* list, PSID owner) {
  if (list == nullptr)
    return true;
  std::vector<PSID> denied;
  for (DWORD i = 0; i < list->AceCount; ++i) {
    ACE_HEADER* entry = nullptr;
    if (!::GetAce(const_cast<ACL*>(list), i, reinterpret_cast<void**>(&entry)) ||
        (entry->AceFlags & INHERIT_ONLY_ACE))
      continue;
    if (entry->AceType == ACCESS_DENIED_ACE_TYPE) {
      auto* ace = reinterpret_cast<ACCESS_DENIED_ACE*>(entry);
      if (GrantsRead(ace->Mask))
        denied.push_back(&ace->SidStart);
    } else if (entry->AceType == ACCESS_ALLOWED_ACE_TYPE) {
      auto* ace = reinterpret_cast<ACCESS_ALLOWED_ACE*>(entry);
      PSID sid = &ace->SidStart;
      if (GrantsRead(ace->Mask) && !MayReadAnyway(sid, owner) && !AmongDenied(sid, denied))
        return true;
    }
  }
  return false;
}

} // namespace platform
