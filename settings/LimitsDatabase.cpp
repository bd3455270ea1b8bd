#include "settings/LimitsDatabase.h"

#include "settings/SettingNames.h"

TLimitsDatabase::TLimitsDatabase() {
  TLimitsDatabase::DefineRecords();
  Load();
}

void TLimitsDatabase::DefineRecords() {
  KeyPath = ProgramSubkeyPath(Setting::LimitsSubkey);
  for (int i = 0; i < Setting::LimitsPanels; ++i) {
    AddRecord(std::make_unique<TStringDatabaseRecord>(PanelLowName(i)));
    AddRecord(std::make_unique<TStringDatabaseRecord>(PanelHighName(i)));
    AddRecord(std::make_unique<TStringDatabaseRecord>(PanelHysteresisName(i)));
  }
  AddRecord(std::make_unique<TBooleanDatabaseRecord>(Setting::Beep));
}
