#include "settings/DatabaseUnit.h"

#include "base/Exception.h"
#include "settings/RegistryKey.h"

TDatabaseRecord::~TDatabaseRecord() = default;

void TStringDatabaseRecord::SaveTo(TRegistryKey& registry) const {
  registry.WriteString(Name, Value);
}

void TStringDatabaseRecord::LoadFrom(const TRegistryKey& registry) {
  if (registry.ValueExists(Name))
    Value = registry.ReadString(Name);
}

void TIntegerDatabaseRecord::SaveTo(TRegistryKey& registry) const {
  registry.WriteInteger(Name, Value);
}

void TIntegerDatabaseRecord::LoadFrom(const TRegistryKey& registry) {
  if (registry.ValueExists(Name))
    Value = registry.ReadInteger(Name);
}

void TBooleanDatabaseRecord::SaveTo(TRegistryKey& registry) const {
  registry.WriteInteger(Name, Value ? 1 : 0);
}

void TBooleanDatabaseRecord::LoadFrom(const TRegistryKey& registry) {
  if (registry.ValueExists(Name))
    Value = registry.ReadInteger(Name) != 0;
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

void TDatabase::Load() {
  CheckKey();
  FirstLoadError.clear();
  const TRegistryKey registry(KeyPath, TRegistryKey::TAccess::Read);
  if (!registry.HiveProblem().empty())
    NoteLoadError(registry.HiveProblem());
  // One bad value must not cost the user every other setting.
  for (const auto& record : Records) {
    try {
      record->LoadFrom(registry);
    } catch (const Exception& error) {
      NoteLoadError(error.what());
    }
  }
}

void TDatabase::Save() {
  SaveDatabases({this});
}

void TDatabase::WriteRecords(TRegistryKey& registry) const {
  for (const auto& record : Records)
    record->SaveTo(registry);
}

void SaveDatabases(const std::vector<TDatabase*>& stores) {
  if (stores.empty())
    return;
  const std::string& top = stores.front()->KeyPath;
  for (const TDatabase* store : stores) {
    store->CheckKey();
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
