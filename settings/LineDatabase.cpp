#include "settings/LineDatabase.h"

TLineDatabase::TLineDatabase(TSettingsAccess access) : TSubkeyDatabase(access) {
  TLineDatabase::DefineRecords();
  Load();
}

void TLineDatabase::DefineRecords() {
  KeyPath = "\\Software\\Tavrin\\Private\\Marrowlink\\Line";
  AddRecord(std::make_unique<TBooleanDatabaseRecord>("RTS Active Low"));
}
