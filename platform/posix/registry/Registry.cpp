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

// The hive as keys open for writing change it, with the lock on the file.
// A key and the keys created under it share one, so that a save of a key
// and its sub-keys replaces the file once, whole, when the last of them is
// closed (or at a flush), and a second program saving at the same time
// waits its turn.
struct PendingHive {
  explicit PendingHive(std::string filePath) : FilePath(std::move(filePath)), Lock(FilePath) {}

  int Write() {
    if (!Changed)
      return 0;
    if (const int error = posix::ReplaceHiveFile(FilePath, posix::FormatRegedit(Hive)))
      return error;
    Changed = false;
    return 0;
  }

  const std::string FilePath;
  HiveLock Lock;
  RegistryHive Hive;
  bool Changed = false;
};

// What a key handle stands for. A key open for reading holds a copy of its
// values; one open for writing shares the pending hive.
struct OpenKey {
  std::string Path;
  HiveKey Snapshot;
  std::shared_ptr<PendingHive> Pending;

  bool Writable() const { return Pending != nullptr; }
  const HiveKey* Values() const { return Writable() ? Pending->Hive.FindKey(Path) : &Snapshot; }
};

RegKey ToHandle(std::unique_ptr<OpenKey> key) {
  return reinterpret_cast<RegKey>(key.release());
}

// The system's predefined keys (HKEY_CLASSES_ROOT and the others) lie
// here; none of them is a key this stand-in opened.
bool IsPredefined(RegKey key) {
  return key >= 0x80000000 && key <= 0x800000FF;
}

OpenKey* FromHandle(RegKey key) {
  if (key == 0 || IsPredefined(key))
    return nullptr;
  return reinterpret_cast<OpenKey*>(key);
}

struct LoadedHive {
  int Error = 0;
  RegistryHive Hive;
};

std::string DescribeFault(const std::string& path, const posix::RegeditParse& parsed) {
  return "The settings file \"" + path + "\" cannot be read: line " + std::to_string(parsed.Line) +
         ": " + parsed.Problem;
}

std::string DescribeBadHive(const std::string& path, const posix::RegeditParse& parsed,
                            const std::string& aside, int error) {
  const std::string fault = DescribeFault(path, parsed);
  if (aside.empty())
    return fault + "; it could not be set aside (" + std::strerror(error) +
           "), so nothing is written over it";
  return fault + "; it was kept as \"" + aside + "\" and the settings start empty";
}

// A file the user may not read (left to root by a program run with sudo)
// is left as it is, and said so, naming the system's reason.
std::string DescribeUnreadableHive(const std::string& path, int error) {
  return "The settings file \"" + path + "\" cannot be read (" + std::strerror(error) +
         "); the settings start from their defaults and nothing is written over it";
}

LoadedHive Unreadable(const std::string& path, int error, std::string* problem) {
  if (problem && error != 0)
    *problem = DescribeUnreadableHive(path, error);
  return {error, {}};
}

// Reads the hive. A file that does not parse is renamed aside, under the
// lock and only if it is still bad then, and the hive starts empty; it is
// never overwritten. heldLock is the caller's lock, if it holds one.
LoadedHive LoadHive(const std::string& path, const HiveLock* heldLock, std::string* problem,
                    DamagedHive damaged = DamagedHive::SetAside) {
  posix::HiveFileText file = posix::ReadHiveFile(path);
  if (file.Error != 0 || !file.Exists)
    return Unreadable(path, file.Error, problem);
  posix::RegeditParse parsed = posix::ParseRegedit(file.Text);
  if (parsed.Ok)
    return {0, std::move(parsed.Hive)};
  if (damaged == DamagedHive::Leave) {
    // Not even the lock file is made: a reader leaves the folder as it is.
    if (problem)
      *problem =
          DescribeFault(path, parsed) + "; the defaults are used and the file is left as it is";
    return {EINVAL, {}};
  }

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
      return Unreadable(path, file.Error, problem);
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

// A key created under one open for writing joins its pending hive.
std::int32_t CreateUnder(const OpenKey& parent, const std::string& subKey, RegKey* result) {
  if (!result)
    return EINVAL;
  if (!parent.Writable())
    return EACCES;
  const std::string path = parent.Path + "\\" + subKey;
  if (!posix::IsValidKeyPath(subKey) || !posix::IsValidKeyPath(path.substr(CurrentUserRoot.size())))
    return EINVAL;
  auto key = std::make_unique<OpenKey>();
  key->Path = path;
  key->Pending = parent.Pending;
  if (!key->Pending->Hive.FindKey(path)) {
    key->Pending->Hive.AddKey(path);
    key->Pending->Changed = true;
  }
  *result = ToHandle(std::move(key));
  return RegistrySuccess;
}

} // namespace

std::int32_t OpenRegistryKey(RegKey parent, const std::string& subKey, RegKey* result,
                             std::string* hiveProblem, DamagedHive damaged) {
  if (hiveProblem)
    hiveProblem->clear();
  const std::string path = FullPath(parent, subKey, result);
  if (path.empty())
    return EINVAL;
  LoadedHive loaded = LoadHive(posix::HiveFilePath(), nullptr, hiveProblem, damaged);
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
  if (const OpenKey* open = FromHandle(parent))
    return CreateUnder(*open, subKey, result);
  const std::string path = FullPath(parent, subKey, result);
  if (path.empty())
    return EINVAL;
  auto pending = std::make_shared<PendingHive>(posix::HiveFilePath());
  if (!pending->Lock.Held())
    return pending->Lock.Error();
  posix::RemoveStaleTemporaries(pending->FilePath);
  LoadedHive loaded = LoadHive(pending->FilePath, &pending->Lock, hiveProblem);
  if (loaded.Error != 0)
    return loaded.Error;
  pending->Hive = std::move(loaded.Hive);
  if (!pending->Hive.FindKey(path)) {
    pending->Hive.AddKey(path);
    pending->Changed = true;
  }
  auto key = std::make_unique<OpenKey>();
  key->Path = path;
  key->Pending = std::move(pending);
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
  // Refused here rather than at the write, so the refusal names this value.
  RegistryHive changed = key->Pending->Hive;
  RegistryHive::SetValue(changed.AddKey(key->Path), name, type,
                         std::string_view(static_cast<const char*>(data), size));
  if (posix::FormatRegedit(changed).size() > posix::MaxRegeditFile)
    return EFBIG;
  key->Pending->Hive = std::move(changed);
  key->Pending->Changed = true;
  return RegistrySuccess;
}

std::int32_t DeleteRegistryValue(RegKey handle, const std::string& name) {
  OpenKey* key = FromHandle(handle);
  if (!key)
    return EINVAL;
  if (!key->Writable())
    return EACCES;
  HiveKey* values = key->Pending->Hive.FindKey(key->Path);
  if (!values || !RegistryHive::RemoveValue(*values, name))
    return RegistryNotFound;
  key->Pending->Changed = true;
  return RegistrySuccess;
}

std::int32_t FlushRegistryKey(RegKey handle) {
  OpenKey* key = FromHandle(handle);
  if (!key)
    return handle == CurrentUserKey ? RegistrySuccess : EINVAL;
  return key->Writable() ? key->Pending->Write() : RegistrySuccess;
}

std::int32_t CloseRegistryKey(RegKey handle) {
  if (handle == CurrentUserKey)
    return RegistrySuccess;
  if (handle == 0 || IsPredefined(handle))
    return EINVAL;
  std::unique_ptr<OpenKey> key(FromHandle(handle));
  if (key->Writable() && key->Pending.use_count() == 1)
    return key->Pending->Write();
  return RegistrySuccess;
}

} // namespace platform
