#pragma once

#include "settings/DatabaseUnit.h"

#include <string>

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

// Panels whose limits the store holds, numbered from 0.
inline constexpr int LimitsPanels = 10;

// Setting names of panel i's limits.
std::string PanelLowName(int index);
std::string PanelHighName(int index);
std::string PanelHysteresisName(int index);
