#include "settings/DatabaseUnit.h"

#include "base/Exception.h"
#include "base/Format.h"
#include "settings/RegistryKey.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <utility>

namespace {

// A stored value's kind, in the words of the settings file.
std::string StoredKind(const TRegistryValue& value) {
  switch (value.Type) {
  case platform::RegSz:
    return "a string";
  case platform::RegExpandSz:
    return "an expandable string";
  case platform::RegBinary:
    return "binary data";
  case platform::RegMultiSz:
    return "a multi-string";
  case platform::RegDword:
    return value.Data.size() == 4 ? "a dword" : Format("a dword of %u bytes", value.Data.size());
  default:
    return Format("data of type %u", value.Type);
  }
}

// A stored value as the report names it: a value of the right kind that
// was refused for what it holds is named by its content.
std::string FoundText(const TRegistryValue& found, const TRegistryValue& kept) {
  std::int32_t number = 0;
  if (found.Type != platform::RegDword || kept.Type != platform::RegDword ||
      found.Data.size() != sizeof number)
    return StoredKind(found);
  std::memcpy(&number, found.Data.data(), sizeof number);
  return Format("the dword %d", number);
}

TRegistryValue StoredNumber(std::int32_t value) {
  std::string data(sizeof value, '\0');
  std::memcpy(data.data(), &value, sizeof value);
  return {platform::RegDword, data};
}

} // namespace

TDatabaseRecord::~TDatabaseRecord() = default;

void TDatabaseRecord::SaveTo(TRegistryKey& registry) const {
  registry.WriteValue(Name, Stored());
}

std::string TDatabaseRecord::Expected() const {
  return StoredKind(Stored());
}

void TStringDatabaseRecord::LoadFrom(const TRegistryKey& registry) {
  if (registry.ValueExists(Name))
    Value = registry.ReadString(Name);
}

TRegistryValue TStringDatabaseRecord::Stored() const {
  // The terminating NUL is part of a registry string.
  return {platform::RegSz, Value + '\0'};
}

void TIntegerDatabaseRecord::LoadFrom(const TRegistryKey& registry) {
  if (registry.ValueExists(Name))
    Value = registry.ReadInteger(Name);
}

TRegistryValue TIntegerDatabaseRecord::Stored() const {
  return StoredNumber(Value);
}

TCheckedIntegerDatabaseRecord::TCheckedIntegerDatabaseRecord(
    std::string name, std::function<bool(std::int32_t)> accepts, std::string expected)
    : TIntegerDatabaseRecord(std::move(name)), Accepts(std::move(accepts)),
      Description(std::move(expected)) {}

void TCheckedIntegerDatabaseRecord::LoadFrom(const TRegistryKey& registry) {
  if (!registry.ValueExists(Name))
    return;
  const std::int32_t stored = registry.ReadInteger(Name);
  if (!Accepts(stored))
    throw Exception(Format("Invalid value for '%s'", Name));
  Value = stored;
}

void TBooleanDatabaseRecord::LoadFrom(const TRegistryKey& registry) {
  if (registry.ValueExists(Name))
    Value = registry.ReadInteger(Name) != 0;
}

TRegistryValue TBooleanDatabaseRecord::Stored() const {
  return StoredNumber(Value ? 1 : 0);
}

TDatabase::~TDatabase() = default;

void TDatabase::CheckKey() const {
  if (KeyPath.empty())
    throw Exception("No registry key is specified");
}

void TDatabase::NoteLoadError(const std::string& message) {
  if (FirstLoadError.empty())
    FirstLoadError = message;
}

void TDatabase::NoteDamage(const TDatabaseRecord& record, const TRegistryKey& registry) {
  std::optional<TRegistryValue> found = registry.ReadValue(record.Name);
  if (!found)
    return;
  TRegistryValue kept = record.Stored();
  std::string reason = FoundText(*found, kept) + " where " + record.Expected() + " belongs";
  Damaged.push_back({record.Name, std::move(reason), std::move(*found), std::move(kept)});
}

void TDatabase::Load() {
  CheckKey();
  FirstLoadError.clear();
  Damaged.clear();
  const TRegistryKey registry(KeyPath, ReadOnly ? TRegistryKey::TAccess::ReadOnly
                                                : TRegistryKey::TAccess::Read);
  LoadHiveProblem = registry.HiveProblem();
  if (!LoadHiveProblem.empty())
    NoteLoadError(LoadHiveProblem);
  // One bad value must not cost the user every other setting.
  for (const auto& record : Records) {
    try {
      record->LoadFrom(registry);
    } catch (const Exception& error) {
      NoteLoadError(error.what());
      NoteDamage(*record, registry);
    }
  }
}

std::string DamagedValuesReport(const std::vector<const TDatabase*>& stores) {
  std::string report;
  for (const TDatabase* store : stores) {
    if (store == nullptr)
      continue;
    const std::string key = store->KeyPath.substr(store->KeyPath.rfind('\\') + 1);
    for (const auto& value : store->Damaged)
      report += (report.empty() ? "" : "\r\n") + key + "\\" + value.Name + ": " + value.Reason +
                "; its default is used, the stored value kept";
  }
  return report;
}

const TDatabase::TDamagedValue* TDatabase::DamageOf(const TDatabaseRecord& record) const {
  for (const TDamagedValue& value : Damaged)
    if (value.Name == record.Name)
      return &value;
  return nullptr;
}

void TDatabase::Save() {
  SaveDatabases({this});
}

void TDatabase::WriteRecords(TRegistryKey& registry) const {
  for (const std::string& name : Removed) {
    const bool again =
        std::ranges::any_of(Records, [&](const auto& record) { return record->Name == name; });
    if (!again)
      registry.DeleteValue(name);
  }
  for (const auto& record : Records) {
    const TDamagedValue* damaged = KeepsDamagedValues ? DamageOf(*record) : nullptr;
    // A value set anew while the program ran replaces the damaged one.
    if (damaged != nullptr && record->Stored() == damaged->Kept)
      registry.WriteValue(record->Name, damaged->Found);
    else
      record->SaveTo(registry);
  }
}

void SaveDatabases(const std::vector<TDatabase*>& stores) {
  if (stores.empty())
    return;
  const std::string& top = stores.front()->KeyPath;
  for (const TDatabase* store : stores) {
    store->CheckKey();
    if (store->ReadOnly)
      throw Exception("Registry key " + store->KeyPath + " is open only for reading");
    if (store->KeyPath != top && !store->KeyPath.starts_with(top + "\\"))
      throw Exception("Registry key " + store->KeyPath + " does not lie under " + top);
  }
  TRegistryKey registry(top, TRegistryKey::TAccess::Write);
  for (const TDatabase* store : stores) {
    if (store->KeyPath == top) {
      store->WriteRecords(registry);
      continue;
    }
    TRegistryKey subKey(registry, store->KeyPath.substr(top.size() + 1));
    store->WriteRecords(subKey);
  }
  registry.Flush();
}

int TDatabase::AddRecord(std::unique_ptr<TDatabaseRecord> record) {
  Records.push_back(std::move(record));
  return static_cast<int>(Records.size() - 1);
}

void TDatabase::RemoveRecord(const std::string& name) {
  if (std::erase_if(Records, [&](const auto& record) { return record->Name == name; }) > 0)
    Removed.push_back(name);
}

void TDatabase::RenameDamaged(const std::function<std::string(const std::string&)>& newName) {
  for (TDamagedValue& value : Damaged)
    value.Name = newName(value.Name);
  std::erase_if(Damaged, [](const TDamagedValue& value) { return value.Name.empty(); });
}

bool TDatabase::IsDamaged(const std::string& name) const {
  return std::ranges::any_of(Damaged,
                             [&](const TDamagedValue& value) { return value.Name == name; });
}

TDatabaseRecord& TDatabase::FindRecord(const std::string& name) const {
  for (const auto& record : Records)
    if (record->Name == name)
      return *record;
  throw Exception("Cannot find the record named " + name);
}

template <class TRecord> TRecord& TDatabase::TypedRecord(const std::string& name) const {
  auto* record = dynamic_cast<TRecord*>(&FindRecord(name));
  if (!record)
    throw Exception("Wrong Record Type");
  return *record;
}

std::string TDatabase::GetString(const std::string& name) const {
  return TypedRecord<TStringDatabaseRecord>(name).Value;
}

void TDatabase::SetString(const std::string& name, const std::string& value) {
  TypedRecord<TStringDatabaseRecord>(name).Value = value;
}

std::int32_t TDatabase::GetInteger(const std::string& name) const {
  return TypedRecord<TIntegerDatabaseRecord>(name).Value;
}

void TDatabase::SetInteger(const std::string& name, std::int32_t value) {
  TypedRecord<TIntegerDatabaseRecord>(name).Value = value;
}

bool TDatabase::GetBoolean(const std::string& name) const {
  return TypedRecord<TBooleanDatabaseRecord>(name).Value;
}

void TDatabase::SetBoolean(const std::string& name, bool value) {
  TypedRecord<TBooleanDatabaseRecord>(name).Value = value;
}

void ReleaseDatabase(std::unique_ptr<TDatabase>& store) {
  if (!store)
    return;
  // Taken out first so the store is freed even when Save raises.
  const std::unique_ptr<TDatabase> released = std::move(store);
  released->Save();
}
