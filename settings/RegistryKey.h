#pragma once

#include "platform/Registry.h"
#include "settings/RegistryValue.h"

#include <cstdint>
#include <optional>
#include <string>

// One key of the current user's registry, open while the object lives, with
// the typed reads and writes of the settings store and their messages.
// Opening never raises: a key that could not be opened has no values, and
// every write to it fails.
class TRegistryKey {
public:
  // Read sets a settings file that cannot be parsed aside, so the next
  // save starts a new one; ReadOnly, for a program that never saves,
  // leaves it as it is.
  enum class TAccess { Read, ReadOnly, Write };

  // keyPath is relative to HKEY_CURRENT_USER and may begin with a backslash.
  TRegistryKey(const std::string& keyPath, TAccess access);
  // A sub-key of a key open for writing, opened for writing; what is
  // written to it reaches the disk with the parent's values.
  TRegistryKey(TRegistryKey& parent, const std::string& subKey);
  ~TRegistryKey();
  TRegistryKey(const TRegistryKey&) = delete;
  TRegistryKey& operator=(const TRegistryKey&) = delete;

  bool IsOpen() const { return Key != 0; }
  // Why the registry's store could not be read, if it could not; the key
  // then opens on an empty store.
  const std::string& HiveProblem() const { return Problem; }

  bool ValueExists(const std::string& name) const;
  // REG_SZ or REG_EXPAND_SZ (unexpanded), cut at the first NUL.
  std::string ReadString(const std::string& name) const;
  std::int32_t ReadInteger(const std::string& name) const;
  // The value as stored, whatever its type; none when it cannot be read.
  std::optional<TRegistryValue> ReadValue(const std::string& name) const;
  void WriteValue(const std::string& name, const TRegistryValue& value);
  // Removes the value, if there is one; it leaves the disk with the next
  // flush.
  void DeleteValue(const std::string& name);
  // Puts what was written on the disk. A failure names the first value
  // written since the last flush, here or under a sub-key, as that is the
  // first that did not reach the disk.
  void Flush();

private:
  // The key whose values the others' writes join; it keeps the name of the
  // first value not yet on the disk.
  TRegistryKey& Top();
  void NoteWritten(const std::string& name);

  platform::RegKey Key = 0;
  std::string Problem;
  TRegistryKey* Parent = nullptr;
  std::string FirstUnflushed;
};
