#include "settings/LineDatabase.h"

#include "settings/SettingNames.h"

TLineDatabase::TLineDatabase(TSettingsAccess access) : TSubkeyDatabase(access) {
  TLineDatabase::DefineRecords();
  Load();
}

void TLineDatabase::DefineRecords() {
  KeyPath = ProgramSubkeyPath(Setting::LineSubkey);
  AddRecord(std::make_unique<TBooleanDatabaseRecord>(Setting::RtsActiveLow));
  AddRecord(std::make_unique<TCheckedIntegerDatabaseRecord>(
      Setting::AnswerEnd, [](std::int32_t end) { return end == 0 || end == 1; },
      "a dword of 0 or 1"));
}
