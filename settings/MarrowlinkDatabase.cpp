#include "settings/MarrowlinkDatabase.h"

#include "base/Format.h"

TMarrowlinkDatabase::TMarrowlinkDatabase() {
  // Here rather than in TDatabase: a base constructor cannot reach the
  // derived DefineRecords.
  TMarrowlinkDatabase::DefineRecords();
  Load();
}

void TMarrowlinkDatabase::DefineRecords() {
  KeyPath = "\\Software\\Tavrin\\Private\\Marrowlink";
  AddRecord(std::make_unique<TIntegerDatabaseRecord>("Left"));
  AddRecord(std::make_unique<TIntegerDatabaseRecord>("Top"));
  AddRecord(std::make_unique<TStringDatabaseRecord>("Port"));
  AddRecord(std::make_unique<TIntegerDatabaseRecord>("Protocol Index"));
  AddRecord(std::make_unique<TIntegerDatabaseRecord>("Baudrate Index"));
  AddRecord(std::make_unique<TStringDatabaseRecord>("Address"));
  AddRecord(std::make_unique<TStringDatabaseRecord>("Message"));
  AddRecord(std::make_unique<TBooleanDatabaseRecord>("Cycle"));
  AddRecord(std::make_unique<TBooleanDatabaseRecord>("Monitor"));
  AddRecord(std::make_unique<TBooleanDatabaseRecord>("Open"));
  AddRecord(std::make_unique<TIntegerDatabaseRecord>("Monitor Left"));
  AddRecord(std::make_unique<TIntegerDatabaseRecord>("Monitor Top"));
  AddRecord(std::make_unique<TBooleanDatabaseRecord>("Monitor Show Editors"));
  AddRecord(std::make_unique<TIntegerDatabaseRecord>("Monitor Panels"));
  for (int panel = 0; panel < 10; ++panel) {
    AddRecord(std::make_unique<TStringDatabaseRecord>(Format("Monitor Panel%d Command", panel)));
    AddRecord(std::make_unique<TIntegerDatabaseRecord>(Format("Monitor Panel%d Color", panel)));
  }
}
