#pragma once

#include "settings/DatabaseUnit.h"

// The recording choices, in the subkey Recording of the application's key:
// "Session Log" (on), "Folder" (empty for the default), "Keep Days" (90,
// 0 keeps all), "Time Stamps" (off) and "Log View" (how answers show in the
// log: 0 as text, 1 escaped, 2 in hex).
class TRecordingDatabase : public TSubkeyDatabase {
public:
  // DefineRecords, then Load.
  explicit TRecordingDatabase(TSettingsAccess access = TSettingsAccess::Owner);

protected:
  void DefineRecords() override;
};
