#pragma once

#include "settings/DatabaseUnit.h"

// The application's settings, under HKEY_CURRENT_USER and KeyPath.
class TMarrowlinkDatabase : public TDatabase {
public:
  TMarrowlinkDatabase(); // DefineRecords, then Load

protected:
  void DefineRecords() override;
};
