#include "settings/LineDatabase.h"

TLineDatabase::TLineDatabase() {
  TLineDatabase::DefineRecords();
  Load();
}

void TLineDatabase::DefineRecords() {
  KeyPath = "\\Software\\Tavrin\\Private\\Marrowlink\\Line";
  AddRecord(std::make_unique<TBooleanDatabaseRecord>("RTS Active Low"));
}
