#include "settings/RecordingDatabase.h"

TRecordingDatabase::TRecordingDatabase(TSettingsAccess access) : TSubkeyDatabase(access) {
  TRecordingDatabase::DefineRecords();
  Load();
}

void TRecordingDatabase::DefineRecords() {
  KeyPath = "\\Software\\Tavrin\\Private\\Marrowlink\\Recording";
  AddRecord(std::make_unique<TBooleanDatabaseRecord>("Session Log"));
  AddRecord(std::make_unique<TStringDatabaseRecord>("Folder"));
  AddRecord(std::make_unique<TIntegerDatabaseRecord>("Keep Days"));
  AddRecord(std::make_unique<TBooleanDatabaseRecord>("Time Stamps"));
  // The defaults, kept where the registry holds no value or a damaged one.
  SetBoolean("Session Log", true);
  SetInteger("Keep Days", 90);
}
