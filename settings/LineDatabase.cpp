#include "settings/LineDatabase.h"

#include "settings/SettingNames.h"

TLineDatabase::TLineDatabase(TSettingsAccess access) : TSubkeyDatabase(access) {
  TLineDatabase::DefineRecords();
  Load();
}

void TLineDatabase::DefineRecords() {
  KeyPath = ProgramSubkeyPath(Setting::LineSubkey);
  AddRecord(std::make_unique<TBooleanDatabaseRecord>(Setting::RtsActiveLow));
}
