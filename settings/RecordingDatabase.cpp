#include "settings/RecordingDatabase.h"

#include "settings/SettingNames.h"

TRecordingDatabase::TRecordingDatabase(TSettingsAccess access) : TSubkeyDatabase(access) {
  TRecordingDatabase::DefineRecords();
  Load();
}

void TRecordingDatabase::DefineRecords() {
  KeyPath = ProgramSubkeyPath(Setting::RecordingSubkey);
  AddRecord(std::make_unique<TBooleanDatabaseRecord>(Setting::SessionLog));
  AddRecord(std::make_unique<TStringDatabaseRecord>(Setting::Folder));
  AddRecord(std::make_unique<TIntegerDatabaseRecord>(Setting::KeepDays));
  AddRecord(std::make_unique<TBooleanDatabaseRecord>(Setting::TimeStamps));
  AddRecord(std::make_unique<TCheckedIntegerDatabaseRecord>(
      Setting::LogView, [](std::int32_t view) { return view >= 0 && view <= 2; },
      "a dword of 0, 1 or 2"));
  // The defaults, kept where the registry holds no value or a damaged one.
  SetBoolean(Setting::SessionLog, true);
  SetInteger(Setting::KeepDays, 90);
}
