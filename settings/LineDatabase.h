#pragma once

#include "settings/DatabaseUnit.h"

// How the serial line is driven, under the subkey Line of the program's
// key: "RTS Active Low" (0 keys the transmitter with RTS high) and "Answer
// End" (0: an answer is collected after the answer delay, 1: at its line
// end; read at each Open).
class TLineDatabase : public TSubkeyDatabase {
public:
  // DefineRecords, then Load.
  explicit TLineDatabase(TSettingsAccess access = TSettingsAccess::Owner);

protected:
  void DefineRecords() override;
};
