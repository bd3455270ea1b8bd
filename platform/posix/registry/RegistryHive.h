#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace platform::posix {

// One named value; Data holds the stored bytes exactly (a REG_SZ counts its
// terminating NUL when it was written with one).
struct HiveValue {
  std::string Name;
  std::uint32_t Type = 0;
  std::string Data;
  bool operator==(const HiveValue&) const = default;
};

// One key with its full path ("HKEY_CURRENT_USER\Software\...") and its
// values in the order they were first stored.
struct HiveKey {
  std::string Path;
  std::vector<HiveValue> Values;
  bool operator==(const HiveKey&) const = default;
};

// The keys of a hive in file order. Key paths and value names compare
// without regard to ASCII case, as the system's registry does.
class RegistryHive {
public:
  const std::vector<HiveKey>& Keys() const { return KeyList; }

  HiveKey* FindKey(std::string_view path);
  const HiveKey* FindKey(std::string_view path) const;
  // True when the key has a section of its own or any sub-key has one.
  bool HasKey(std::string_view path) const;
  HiveKey& AddKey(std::string_view path);

  // Replaces the data of a value of that name (keeping its place and
  // spelling) or appends a new one.
  static void SetValue(HiveKey& key, std::string_view name, std::uint32_t type,
                       std::string_view data);
  static const HiveValue* FindValue(const HiveKey& key, std::string_view name);
  // False when the key has no value of that name.
  static bool RemoveValue(HiveKey& key, std::string_view name);

  bool operator==(const RegistryHive&) const = default;

private:
  std::vector<HiveKey> KeyList;
};

bool SameRegistryName(std::string_view a, std::string_view b);

// Longest key-name component and value name the system's registry accepts.
inline constexpr std::size_t MaxKeyComponent = 255;
inline constexpr std::size_t MaxValueName = 16383;
inline constexpr std::size_t MaxKeyPath = 16383;

// A key path of at most MaxKeyPath bytes, its non-empty components of at
// most MaxKeyComponent bytes each,
// without control characters, not starting with "-" (a deletion mark).
bool IsValidKeyPath(std::string_view path);
// A value name without control characters, at most MaxValueName bytes.
bool IsValidValueName(std::string_view name);

} // namespace platform::posix
