#include "platform/Registry.h"

#include "platform/posix/registry/HiveFile.h"
#include "platform/posix/registry/RegeditFormat.h"

#include <cerrno>
#include <cstring>
#include <memory>
#include <optional>

namespace platform {

namespace {

using posix::HiveKey;
using posix::HiveLock;
using posix::RegistryHive;

constexpr std::string_view CurrentUserRoot = "HKEY_CURRENT_USER\\";

// What a key handle stands for. A key open for reading holds a copy of its
// values; one open for writing holds the whole hive and the lock on it, so
// that each value written replaces the file with every other key intact and
// a second program saving at the same time waits its turn.
struct OpenKey {
  std::string Path;
  HiveKey Snapshot;
  std::unique_ptr<HiveLock> Lock;
  RegistryHive Hive;
  std::string FilePath;

  bool Writable() const { return Lock != nullptr; }
  const HiveKey* Values() const { return Writable() ? Hive.FindKey(Path) : &Snapshot; }
};

RegKey ToHandle(std::unique_ptr<OpenKey> key) {
  return reinterpret_cast<RegKey>(key.release());
}

OpenKey* FromHandle(RegKey key) {
  if (key == 0 || key == CurrentUserKey)
    return nullptr;
  return reinterpret_cast<OpenKey*>(key);
}

struct LoadedHive {
  int Error = 0;
  RegistryHive Hive;
};

std::string DescribeBadHive(const std::string& path, const posix::RegeditParse& parsed,
                            const std::string& aside, int error) {
  const std::string fault = "The settings file \"" + path + "\" cannot be read: line " +
                            std::to_string(parsed.Line) + ": " + parsed.Problem;
  if (aside.empty())
    return fault + "; it could not be set aside (" + std::strerror(error) +
           "), so nothing is written over it";
  return fault + "; it was kept as \"" + aside + "\" and the settings start empty";
}

// Reads the hive. A file that does not parse is renamed aside, under the
// lock and only if it is still bad then, and the hive starts empty; it is
// never overwritten. heldLock is the caller's lock, if it holds one.
LoadedHive LoadHive(const std::string& path, const HiveLock* heldLock, std::string* problem) {
  posix::HiveFileText file = posix::ReadHiveFile(path);
  if (file.Error != 0 || !file.Exists)
    return {file.Error, {}};
  posix::RegeditParse parsed = posix::ParseRegedit(file.Text);
  if (parsed.Ok)
    return {0, std::move(parsed.Hive)};

  std::optional<HiveLock> ownLock;
  if (!heldLock) {
    ownLock.emplace(path);
    if (!ownLock->Held()) {
      if (problem)
        *problem = DescribeBadHive(path, parsed, {}, ownLock->Error());
      return {ownLock->Error(), {}};
    }
    file = posix::ReadHiveFile(path);
    if (file.Error != 0 || !file.Exists)
      return {file.Error, {}};
    parsed = posix::ParseRegedit(file.Text);
    if (parsed.Ok)
      return {0, std::move(parsed.Hive)};
  }
  int error = 0;
  const std::string aside = posix::SetHiveFileAside(path, error);
  if (problem)
    *problem = DescribeBadHive(path, parsed, aside, error);
  return {aside.empty() ? error : 0, {}};
}

// The hive path of a sub-key of HKEY_CURRENT_USER, or empty when the
// arguments are not acceptable.
std::string FullPath(RegKey parent, const std::string& subKey, const RegKey* result) {
  if (parent != CurrentUserKey || !result || !posix::IsValidKeyPath(subKey))
    return {};
  return std::string(CurrentUserRoot) + subKey;
}

} // namespace

std::int32_t OpenRegistryKey(RegKey parent, const std::string& subKey, RegKey* result,
                             std::string* hiveProblem) {
  if (hiveProblem)
    hiveProblem->clear();
  const std::string path = FullPath(parent, subKey, result);
  if (path.empty())
    return EINVAL;
  LoadedHive loaded = LoadHive(posix::HiveFilePath(), nullptr, hiveProblem);
  if (loaded.Error != 0)
    return loaded.Error;
  if (!loaded.Hive.HasKey(path))
    return RegistryNotFound;
  auto key = std::make_unique<OpenKey>();
  key->Path = path;
  const HiveKey* found = loaded.Hive.FindKey(path);
  key->Snapshot = found ? *found : HiveKey{path, {}};
  *result = ToHandle(std::move(key));
  return RegistrySuccess;
}

std::int32_t CreateRegistryKey(RegKey parent, const std::string& subKey, RegKey* result,
                               std::string* hiveProblem) {
  if (hiveProblem)
    hiveProblem->clear();
  const std::string path = FullPath(parent, subKey, result);
  if (path.empty())
    return EINVAL;
  auto key = std::make_unique<OpenKey>();
  key->Path = path;
  key->FilePath = posix::HiveFilePath();
  key->Lock = std::make_unique<HiveLock>(key->FilePath);
  if (!key->Lock->Held())
    return key->Lock->Error();
  posix::RemoveStaleTemporaries(key->FilePath);
  LoadedHive loaded = LoadHive(key->FilePath, key->Lock.get(), hiveProblem);
  if (loaded.Error != 0)
    return loaded.Error;
  key->Hive = std::move(loaded.Hive);
  if (!key->Hive.FindKey(path)) {
    key->Hive.AddKey(path);
    if (const int error = posix::ReplaceHiveFile(key->FilePath, posix::FormatRegedit(key->Hive)))
      return error;
  }
  *result = ToHandle(std::move(key));
  return RegistrySuccess;
}

std::int32_t QueryRegistryValue(RegKey handle, const std::string& name, std::uint32_t* type,
                                void* data, std::uint32_t* size) {
  const OpenKey* key = FromHandle(handle);
  if (!key || (data && !size))
    return EINVAL;
  const HiveKey* values = key->Values();
  const posix::HiveValue* value = values ? RegistryHive::FindValue(*values, name) : nullptr;
  if (!value)
    return RegistryNotFound;
  if (type)
    *type = value->Type;
  if (!size)
    return RegistrySuccess;
  const auto needed = static_cast<std::uint32_t>(value->Data.size());
  const bool fits = *size >= needed;
  *size = needed;
  if (!data)
    return RegistrySuccess;
  if (!fits)
    return RegistryMoreData;
  std::memcpy(data, value->Data.data(), needed);
  return RegistrySuccess;
}

std::int32_t SetRegistryValue(RegKey handle, const std::string& name, std::uint32_t type,
                              const void* data, std::uint32_t size) {
  OpenKey* key = FromHandle(handle);
  if (!key || (size != 0 && !data) || !posix::IsValidValueName(name))
    return EINVAL;
  if (!key->Writable())
    return EACCES;
  RegistryHive changed = key->Hive;
  RegistryHive::SetValue(changed.AddKey(key->Path), name, type,
                         std::string_view(static_cast<const char*>(data), size));
  const std::string text = posix::FormatRegedit(changed);
  if (text.size() > posix::MaxRegeditFile)
    return EFBIG;
  if (const int error = posix::ReplaceHiveFile(key->FilePath, text))
    return error;
  key->Hive = std::move(changed);
  return RegistrySuccess;
}

std::int32_t CloseRegistryKey(RegKey handle) {
  if (handle == CurrentUserKey)
    return RegistrySuccess;
  if (handle == 0)
    return EINVAL;
  std::unique_ptr<OpenKey> key(FromHandle(handle));
  return RegistrySuccess;
}

} // namespace platform
