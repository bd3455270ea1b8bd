#include "settings/LimitsDatabase.h"

#include "base/Format.h"

TLimitsDatabase::TLimitsDatabase() {
  TLimitsDatabase::DefineRecords();
  Load();
}

void TLimitsDatabase::DefineRecords() {
  KeyPath = "\\Software\\Tavrin\\Private\\Marrowlink\\Limits";
  for (int i = 0; i < LimitsPanels; ++i) {
    AddRecord(std::make_unique<TStringDatabaseRecord>(PanelLowName(i)));
    AddRecord(std::make_unique<TStringDatabaseRecord>(PanelHighName(i)));
    AddRecord(std::make_unique<TStringDatabaseRecord>(PanelHysteresisName(i)));
  }
  AddRecord(std::make_unique<TBooleanDatabaseRecord>("Beep"));
}

std::string PanelLowName(int index) {
  return Format("Panel%d Low", index);
}

std::string PanelHighName(int index) {
  return Format("Panel%d High", index);
}

std::string PanelHysteresisName(int index) {
  return Format("Panel%d Hysteresis", index);
}
