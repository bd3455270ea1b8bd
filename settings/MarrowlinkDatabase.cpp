#include "settings/MarrowlinkDatabase.h"

#include "settings/SettingNames.h"

TMarrowlinkDatabase::TMarrowlinkDatabase() {
  // Here rather than in TDatabase: a base constructor cannot reach the
  // derived DefineRecords.
  TMarrowlinkDatabase::DefineRecords();
  Load();
}

void TMarrowlinkDatabase::DefineRecords() {
  KeyPath = ProgramKeyPath;
  AddRecord(std::make_unique<TIntegerDatabaseRecord>(Setting::Left));
  AddRecord(std::make_unique<TIntegerDatabaseRecord>(Setting::Top));
  AddRecord(std::make_unique<TStringDatabaseRecord>(Setting::Port));
  AddRecord(std::make_unique<TIntegerDatabaseRecord>(Setting::ProtocolIndex));
  AddRecord(std::make_unique<TIntegerDatabaseRecord>(Setting::BaudrateIndex));
  AddRecord(std::make_unique<TStringDatabaseRecord>(Setting::Address));
  AddRecord(std::make_unique<TStringDatabaseRecord>(Setting::Message));
  AddRecord(std::make_unique<TBooleanDatabaseRecord>(Setting::Cycle));
  AddRecord(std::make_unique<TBooleanDatabaseRecord>(Setting::Monitor));
  AddRecord(std::make_unique<TBooleanDatabaseRecord>(Setting::Open));
  AddRecord(std::make_unique<TIntegerDatabaseRecord>(Setting::MonitorLeft));
  AddRecord(std::make_unique<TIntegerDatabaseRecord>(Setting::MonitorTop));
  AddRecord(std::make_unique<TBooleanDatabaseRecord>(Setting::MonitorShowEditors));
  AddRecord(std::make_unique<TIntegerDatabaseRecord>(Setting::MonitorPanels));
  for (int panel = 0; panel < Setting::SavedPanels; ++panel) {
    AddRecord(std::make_unique<TStringDatabaseRecord>(PanelCommandName(panel)));
    AddRecord(std::make_unique<TIntegerDatabaseRecord>(PanelColorName(panel)));
  }
}
