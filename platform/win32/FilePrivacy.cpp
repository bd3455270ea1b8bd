#include "platform/FilePrivacy.h"

#include "platform/win32/AccessList.h"

#include <aclapi.h>

#include <memory>

namespace platform {

namespace {

struct TLocalFree {
  void operator()(void* memory) const { ::LocalFree(memory); }
};

} // namespace

bool ReadableByOthers(const std::string& path) {
  PSID owner = nullptr;
  PACL list = nullptr;
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (::GetNamedSecurityInfoA(path.c_str(), SE_FILE_OBJECT,
                              OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION, &owner,
                              nullptr, &list, nullptr, &descriptor) != ERROR_SUCCESS)
    return false;
  const std::unique_ptr<void, TLocalFree> held(descriptor);
  return LetsOthersRead(list, owner);
}

std::string OwnerOnlyHint(const std::string& path) {
  return "icacls \"" + path + "\" /inheritance:r /grant:r %USERNAME%:F";
}

} // namespace platform
