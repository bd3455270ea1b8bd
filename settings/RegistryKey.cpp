#include "settings/RegistryKey.h"

#include "base/Exception.h"
#include "base/Format.h"

#include <cstring>
#include <limits>
#include <utility>

namespace {

std::string WithoutLeadingBackslash(const std::string& keyPath) {
  return (!keyPath.empty() && keyPath.front() == '\\') ? keyPath.substr(1) : keyPath;
}

[[noreturn]] void RaiseGetFailed(const std::string& name) {
  throw Exception(Format("Failed to get data for '%s'", name));
}

[[noreturn]] void RaiseInvalidType(const std::string& name) {
  throw Exception(Format("Invalid data type for '%s'", name));
}

[[noreturn]] void RaiseSetFailed(const std::string& name) {
  throw Exception(Format("Failed to set data for '%s'", name));
}

} // namespace

TRegistryKey::TRegistryKey(const std::string& keyPath, TAccess access) {
  const std::string subKey = WithoutLeadingBackslash(keyPath);
  platform::RegKey opened = 0;
  const std::int32_t status =
      access == TAccess::Write
          ? platform::CreateRegistryKey(platform::CurrentUserKey, subKey, &opened, &Problem)
          : platform::OpenRegistryKey(platform::CurrentUserKey, subKey, &opened, &Problem,
                                      access == TAccess::ReadOnly
                                          ? platform::DamagedHive::Leave
                                          : platform::DamagedHive::SetAside);
  if (status == platform::RegistrySuccess)
    Key = opened;
}

TRegistryKey::TRegistryKey(TRegistryKey& parent, const std::string& subKey) : Parent(&parent) {
  platform::RegKey opened = 0;
  if (parent.Key != 0 &&
      platform::CreateRegistryKey(parent.Key, subKey, &opened) == platform::RegistrySuccess)
    Key = opened;
}

TRegistryKey::~TRegistryKey() {
  if (Key != 0)
    platform::CloseRegistryKey(Key);
}

bool TRegistryKey::ValueExists(const std::string& name) const {
  return Key != 0 && platform::QueryRegistryValue(Key, name, nullptr, nullptr, nullptr) ==
                         platform::RegistrySuccess;
}

std::string TRegistryKey::ReadString(const std::string& name) const {
  const std::optional<TRegistryValue> value = ReadValue(name);
  if (!value)
    RaiseGetFailed(name);
  if (value->Type != platform::RegSz && value->Type != platform::RegExpandSz)
    RaiseInvalidType(name);
  return value->Data.substr(0, value->Data.find('\0'));
}

std::int32_t TRegistryKey::ReadInteger(const std::string& name) const {
  std::uint32_t type = 0;
  std::int32_t value = 0;
  std::uint32_t size = sizeof value;
  if (platform::QueryRegistryValue(Key, name, &type, &value, &size) != platform::RegistrySuccess)
    RaiseGetFailed(name);
  if (type != platform::RegDword || size != sizeof value)
    RaiseInvalidType(name);
  return value;
}

std::optional<TRegistryValue> TRegistryKey::ReadValue(const std::string& name) const {
  TRegistryValue value;
  std::uint32_t size = 0;
  if (Key == 0 || platform::QueryRegistryValue(Key, name, &value.Type, nullptr, &size) !=
                      platform::RegistrySuccess)
    return std::nullopt;
  value.Data.resize(size);
  if (platform::QueryRegistryValue(Key, name, &value.Type, value.Data.data(), &size) !=
      platform::RegistrySuccess)
    return std::nullopt;
  value.Data.resize(size);
  return value;
}

void TRegistryKey::WriteValue(const std::string& name, const TRegistryValue& value) {
  if (value.Data.size() > std::numeric_limits<std::uint32_t>::max() ||
      platform::SetRegistryValue(Key, name, value.Type, value.Data.data(),
                                 static_cast<std::uint32_t>(value.Data.size())) !=
          platform::RegistrySuccess)
    RaiseSetFailed(name);
  NoteWritten(name);
}

void TRegistryKey::DeleteValue(const std::string& name) {
  // A key that did not open refuses a deletion as it refuses a write.
  const std::int32_t status =
      Key == 0 ? std::int32_t{-1} : platform::DeleteRegistryValue(Key, name);
  if (status != platform::RegistrySuccess && status != platform::RegistryNotFound)
    throw Exception(Format("Failed to delete '%s'", name));
  NoteWritten(name);
}

TRegistryKey& TRegistryKey::Top() {
  return Parent != nullptr ? Parent->Top() : *this;
}

void TRegistryKey::NoteWritten(const std::string& name) {
  if (Top().FirstUnflushed.empty())
    Top().FirstUnflushed = name;
}

void TRegistryKey::Flush() {
  // A key that did not open has refused every write already.
  const std::string first = std::exchange(Top().FirstUnflushed, {});
  if (Key != 0 && platform::FlushRegistryKey(Key) != platform::RegistrySuccess)
    RaiseSetFailed(first);
}
