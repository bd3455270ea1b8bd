#pragma once

#include "settings/DatabaseUnit.h"

// The panel monitor's limits, in the subkey Limits of the program's key:
// "Panel<i> Low", "Panel<i> High" and "Panel<i> Hysteresis" for the panels
// the layout keeps, as strings (empty for none) so a number stays exactly
// as the operator typed it, and "Beep" (off).
class TLimitsDatabase : public TSubkeyDatabase {
public:
  TLimitsDatabase(); // DefineRecords, then Load

protected:
  void DefineRecords() override;
};
