#pragma once

#include <cstdint>
#include <string>

// The per-user registry calls of the system, with their Win32 meaning. Each
// returns its status directly, as the Win32 registry calls do: RegistrySuccess,
// or an error code of the platform.
namespace platform {

// An open key (HKEY).
using RegKey = std::uintptr_t;
inline constexpr RegKey CurrentUserKey = 0x80000001; // HKEY_CURRENT_USER

// Value types.
inline constexpr std::uint32_t RegNone = 0, RegSz = 1, RegExpandSz = 2, RegBinary = 3, RegDword = 4,
                               RegMultiSz = 7;

// Status codes with a meaning of their own; any other non-zero status is a
// plain failure of the platform.
inline constexpr std::int32_t RegistrySuccess = 0;
inline constexpr std::int32_t RegistryNotFound = 2;   // ERROR_FILE_NOT_FOUND
inline constexpr std::int32_t RegistryMoreData = 234; // ERROR_MORE_DATA

// What a read does with a hive file that cannot be parsed: set it aside,
// so the program that owns the settings saves a new one at its end, or
// leave it as it is, for a program that only reads them. Where the system
// keeps the hive itself, a read never changes it.
enum class DamagedHive { SetAside, Leave };

// RegOpenKeyExA(parent, subKey, 0, KEY_READ, result). parent is
// CurrentUserKey; subKey is relative to it and does not begin with a
// backslash. hiveProblem, when given,
// receives the text of a hive that could not be read (the file and line of
// the fault, and where it was set aside); it stays empty where the system
// keeps the hive itself.
std::int32_t OpenRegistryKey(RegKey parent, const std::string& subKey, RegKey* result,
                             std::string* hiveProblem = nullptr,
                             DamagedHive damaged = DamagedHive::SetAside);

// RegCreateKeyExA(parent, subKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
// result, nullptr): opens the key for writing, creating it if it is missing.
// parent is CurrentUserKey or a key this call opened. What is written may
// stay in memory until FlushRegistryKey or the close of the last key open
// for writing under the same parent; a key created under an open one shares
// its pending writes, so a key and its sub-keys reach the disk together.
std::int32_t CreateRegistryKey(RegKey parent, const std::string& subKey, RegKey* result,
                               std::string* hiveProblem = nullptr);

// RegQueryValueExA(key, name, nullptr, type, data, size). On entry *size is
// the room in data; on return it is the size of the stored data. With data
// null only the type and size are returned; when data is too small the
// result is RegistryMoreData. A value that does not exist is
// RegistryNotFound. type may be null.
std::int32_t QueryRegistryValue(RegKey key, const std::string& name, std::uint32_t* type,
                                void* data, std::uint32_t* size);

// RegSetValueExA(key, name, 0, type, data, size): size bytes of data, which
// for RegSz count the terminating NUL. A key opened for reading refuses.
std::int32_t SetRegistryValue(RegKey key, const std::string& name, std::uint32_t type,
                              const void* data, std::uint32_t size);

// RegDeleteValueA(key, name): removes the value. A value that does not
// exist is RegistryNotFound; a key opened for reading refuses.
std::int32_t DeleteRegistryValue(RegKey key, const std::string& name);

// RegFlushKey: what was written under the key is on the disk when this
// succeeds.
std::int32_t FlushRegistryKey(RegKey key);

// RegCloseKey. The status of the last write of pending values, if the close
// made one.
std::int32_t CloseRegistryKey(RegKey key);

} // namespace platform
