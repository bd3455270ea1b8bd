#pragma once

#include "settings/RegistryValue.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

class TRegistryKey;

// One named setting; the name is both its look-up key and its registry
// value name.
class TDatabaseRecord {
public:
  explicit TDatabaseRecord(std::string name) : Name(std::move(name)) {}
  virtual ~TDatabaseRecord();
  TDatabaseRecord(const TDatabaseRecord&) = delete;
  TDatabaseRecord& operator=(const TDatabaseRecord&) = delete;

  // Writes Stored() under Name.
  void SaveTo(TRegistryKey& registry) const;
  // Leaves Value as it is when the registry has no value of this name.
  virtual void LoadFrom(const TRegistryKey& registry) = 0;
  // The value as SaveTo writes it.
  virtual TRegistryValue Stored() const = 0;
  // What a stored value must be, in the words of the settings file ("a
  // dword"), for the report of one that is not.
  virtual std::string Expected() const;

  const std::string Name;
};

class TStringDatabaseRecord : public TDatabaseRecord {
public:
  using TDatabaseRecord::TDatabaseRecord;
  void LoadFrom(const TRegistryKey& registry) override;
  TRegistryValue Stored() const override;

  std::string Value;
};

class TIntegerDatabaseRecord : public TDatabaseRecord {
public:
  using TDatabaseRecord::TDatabaseRecord;
  void LoadFrom(const TRegistryKey& registry) override;
  TRegistryValue Stored() const override;

  std::int32_t Value = 0;
};

// A 32-bit number of which only some are meaningful: a stored number that
// Accepts refuses is damaged, as a value of the wrong type is, and the
// record keeps its value.
class TCheckedIntegerDatabaseRecord : public TIntegerDatabaseRecord {
public:
  // expected: the numbers accepted, as the report names them ("a dword
  // from 0 to 2").
  TCheckedIntegerDatabaseRecord(std::string name, std::function<bool(std::int32_t)> accepts,
                                std::string expected);
  void LoadFrom(const TRegistryKey& registry) override;
  std::string Expected() const override { return Description; }

private:
  std::function<bool(std::int32_t)> Accepts;
  std::string Description;
};

// Stored as a 32-bit number, 1 or 0; any non-zero number reads as true.
class TBooleanDatabaseRecord : public TDatabaseRecord {
public:
  using TDatabaseRecord::TDatabaseRecord;
  void LoadFrom(const TRegistryKey& registry) override;
  TRegistryValue Stored() const override;

  bool Value = false;
};

// An ordered set of named settings kept under one key of the current user's
// registry (a store may drop records: RemoveRecord). A concrete store names
// the key and adds its records in DefineRecords; its constructor runs
// DefineRecords and then Load, so a store is loaded once it exists.
class TDatabase {
public:
  virtual ~TDatabase(); // does not save: a destructor must not throw
  TDatabase(const TDatabase&) = delete;
  TDatabase& operator=(const TDatabase&) = delete;

  // Reads every record in order. A record whose stored value has the wrong
  // type, or a number it refuses, keeps its value and the rest load on; the first such error, or a
  // registry store that could not be read, is kept in LoadError, and each
  // such value for DamagedValuesReport.
  void Load();
  // Writes every record in order, replacing the registry's file once; the
  // first refused write raises and the records after it are not written.
  // A store that keeps damaged values writes each back as it was found,
  // unless its record has changed since the load.
  void Save();
  void CheckKey() const;

  int AddRecord(std::unique_ptr<TDatabaseRecord> record);
  TDatabaseRecord& FindRecord(const std::string& name) const;

  std::string GetString(const std::string& name) const;
  void SetString(const std::string& name, const std::string& value);
  std::int32_t GetInteger(const std::string& name) const;
  void SetInteger(const std::string& name, std::int32_t value);
  bool GetBoolean(const std::string& name) const;
  void SetBoolean(const std::string& name, bool value);

  // The first error met while loading (a value of the wrong type, or a
  // hive file that could not be parsed, naming the file and line); empty
  // if none.
  const std::string& LoadError() const { return FirstLoadError; }
  // Why the registry's store could not be read at the load, if it could
  // not; every record then kept its value.
  const std::string& HiveProblem() const { return LoadHiveProblem; }

protected:
  TDatabase() = default;
  virtual void DefineRecords() = 0;

  std::vector<std::unique_ptr<TDatabaseRecord>> Records;
  // Relative to HKEY_CURRENT_USER, beginning with a backslash.
  std::string KeyPath;
  // Drops the record of that name, for a store whose records come and go
  // (a list that shrinks); Save then deletes its stored value, unless a
  // record of that name is there again by then.
  void RemoveRecord(const std::string& name);
  // The damaged values found by the load now belong to the records newName
  // gives for their names (a stored list renumbered), all at once; one for
  // which it gives an empty name is forgotten.
  void RenameDamaged(const std::function<std::string(const std::string&)>& newName);
  // Whether the load found the stored value of that name damaged.
  bool IsDamaged(const std::string& name) const;

  // Whether Save writes damaged values back as they were found, rather
  // than the records' values.
  bool KeepsDamagedValues = false;
  // A store that is only read: its load leaves a settings file that cannot
  // be parsed as it is, and it is never saved.
  bool ReadOnly = false;

private:
  // A stored value that did not load into its record, which kept its value.
  struct TDamagedValue {
    std::string Name;
    std::string Reason; // "a string where a dword belongs"
    TRegistryValue Found;
    TRegistryValue Kept; // the record's value as the load left it
  };

  friend void SaveDatabases(const std::vector<TDatabase*>& stores);
  friend std::string DamagedValuesReport(const std::vector<const TDatabase*>& stores);
  void WriteRecords(TRegistryKey& registry) const;

  template <class TRecord> TRecord& TypedRecord(const std::string& name) const;
  void NoteLoadError(const std::string& message);
  void NoteDamage(const TDatabaseRecord& record, const TRegistryKey& registry);
  const TDamagedValue* DamageOf(const TDatabaseRecord& record) const;

  std::string FirstLoadError;
  std::string LoadHiveProblem;
  std::vector<TDamagedValue> Damaged;
  std::vector<std::string> Removed; // names whose stored values Save deletes
};

// Who opens a store of a subkey: the window, which owns the settings file
// and saves it, or a program that only reads it.
enum class TSettingsAccess { Owner, ReadOnly };

// A store of a subkey beside the program's key: one value that cannot be
// read must not cost the others their changes, so a damaged value is
// written back as it was found and every other is saved.
class TSubkeyDatabase : public TDatabase {
protected:
  explicit TSubkeyDatabase(TSettingsAccess access = TSettingsAccess::Owner) {
    KeepsDamagedValues = true;
    ReadOnly = access == TSettingsAccess::ReadOnly;
  }
};

// Saves the stores in order with one write of the registry, so the values
// on the disk never mix two saves: the first store's key, then the others,
// whose keys must lie under it. Raises as Save does, naming the first value
// that could not be written; the values before it are written.
void SaveDatabases(const std::vector<TDatabase*>& stores);

// One line per value of the stores that did not load, "<key>\<name>:
// <reason>; its default is used, the stored value kept" with the key named
// by the last part of its path, separated by CR LF; empty when every value
// loaded. Null stores are skipped.
std::string DamagedValuesReport(const std::vector<const TDatabase*>& stores);

// Releasing a store saves it first: saves, then frees the store (also when
// Save raises), then lets Save's error propagate.
void ReleaseDatabase(std::unique_ptr<TDatabase>& store);
