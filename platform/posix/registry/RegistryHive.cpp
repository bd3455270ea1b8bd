#include "platform/posix/registry/RegistryHive.h"

#include <algorithm>

namespace platform::posix {

namespace {

char FoldCase(char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

bool IsControl(char c) {
  const auto byte = static_cast<unsigned char>(c);
  return byte < 0x20 || byte == 0x7F;
}

} // namespace

bool SameRegistryName(std::string_view a, std::string_view b) {
  return std::ranges::equal(a, b, [](char x, char y) { return FoldCase(x) == FoldCase(y); });
}

HiveKey* RegistryHive::FindKey(std::string_view path) {
  auto found = std::ranges::find_if(
      KeyList, [&](const HiveKey& key) { return SameRegistryName(key.Path, path); });
  return found == KeyList.end() ? nullptr : &*found;
}

const HiveKey* RegistryHive::FindKey(std::string_view path) const {
  return const_cast<RegistryHive*>(this)->FindKey(path);
}

bool RegistryHive::HasKey(std::string_view path) const {
  return std::ranges::any_of(KeyList, [&](const HiveKey& key) {
    if (key.Path.size() == path.size())
      return SameRegistryName(key.Path, path);
    return key.Path.size() > path.size() && key.Path[path.size()] == '\\' &&
           SameRegistryName(std::string_view(key.Path).substr(0, path.size()), path);
  });
}

HiveKey& RegistryHive::AddKey(std::string_view path) {
  if (HiveKey* key = FindKey(path))
    return *key;
  return KeyList.emplace_back(HiveKey{std::string(path), {}});
}

const HiveValue* RegistryHive::FindValue(const HiveKey& key, std::string_view name) {
  auto found = std::ranges::find_if(
      key.Values, [&](const HiveValue& value) { return SameRegistryName(value.Name, name); });
  return found == key.Values.end() ? nullptr : &*found;
}

void RegistryHive::SetValue(HiveKey& key, std::string_view name, std::uint32_t type,
                            std::string_view data) {
  auto found = std::ranges::find_if(
      key.Values, [&](const HiveValue& value) { return SameRegistryName(value.Name, name); });
  if (found == key.Values.end()) {
    key.Values.push_back(HiveValue{std::string(name), type, std::string(data)});
    return;
  }
  found->Type = type;
  found->Data = data;
}

bool RegistryHive::RemoveValue(HiveKey& key, std::string_view name) {
  return std::erase_if(key.Values, [&](const HiveValue& value) {
           return SameRegistryName(value.Name, name);
         }) > 0;
}

bool IsValidKeyPath(std::string_view path) {
  if (path.empty() || path.size() > MaxKeyPath || path.front() == '-' ||
      std::ranges::any_of(path, IsControl))
    return false;
  std::size_t start = 0;
  while (true) {
    const std::size_t end = std::min(path.find('\\', start), path.size());
    const std::size_t length = end - start;
    if (length == 0 || length > MaxKeyComponent)
      return false;
    if (end == path.size())
      return true;
    start = end + 1;
  }
}

bool IsValidValueName(std::string_view name) {
  return name.size() <= MaxValueName && std::ranges::none_of(name, IsControl);
}

} // namespace platform::posix
