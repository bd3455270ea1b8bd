#include "platform/Registry.h"

#include <windows.h>

namespace platform {

namespace {

// HKEY_CURRENT_USER is a sign-extended 32-bit value on 64-bit Windows, so
// the portable constant is mapped rather than cast.
HKEY Native(RegKey key) {
  return key == CurrentUserKey ? HKEY_CURRENT_USER : reinterpret_cast<HKEY>(key);
}

std::int32_t Opened(LSTATUS status, HKEY native, RegKey* result) {
  *result = status == ERROR_SUCCESS ? reinterpret_cast<RegKey>(native) : 0;
  return status;
}

} // namespace

std::int32_t OpenRegistryKey(RegKey parent, const std::string& subKey, RegKey* result,
                             std::string* /*hiveProblem: the system keeps the hive*/,
                             DamagedHive /*damaged*/) {
  HKEY native = nullptr;
  const LSTATUS status = ::RegOpenKeyExA(Native(parent), subKey.c_str(), 0, KEY_READ, &native);
  return Opened(status, native, result);
}

std::int32_t CreateRegistryKey(RegKey parent, const std::string& subKey, RegKey* result,
                               std::string* /*hiveProblem: the system keeps the hive*/) {
  HKEY native = nullptr;
  const LSTATUS status = ::RegCreateKeyExA(Native(parent), subKey.c_str(), 0, nullptr, 0,
                                           KEY_ALL_ACCESS, nullptr, &native, nullptr);
  return Opened(status, native, result);
}

std::int32_t QueryRegistryValue(RegKey key, const std::string& name, std::uint32_t* type,
                                void* data, std::uint32_t* size) {
  DWORD nativeType = 0;
  DWORD nativeSize = size ? *size : 0;
  const LSTATUS status = ::RegQueryValueExA(Native(key), name.c_str(), nullptr, &nativeType,
                                            static_cast<BYTE*>(data), size ? &nativeSize : nullptr);
  if (type)
    *type = nativeType;
  if (size)
    *size = nativeSize;
  return status;
}

std::int32_t SetRegistryValue(RegKey key, const std::string& name, std::uint32_t type,
                              const void* data, std::uint32_t size) {
  return ::RegSetValueExA(Native(key), name.c_str(), 0, type, static_cast<const BYTE*>(data), size);
}

std::int32_t DeleteRegistryValue(RegKey key, const std::string& name) {
  return ::RegDeleteValueA(Native(key), name.c_str());
}

std::int32_t FlushRegistryKey(RegKey key) {
  return ::RegFlushKey(Native(key));
}

std::int32_t CloseRegistryKey(RegKey key) {
  return ::RegCloseKey(Native(key));
}

} // namespace platform
