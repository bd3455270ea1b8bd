#include "cli/Defaults.h"

#include "settings/LineDatabase.h"
#include "settings/RecordingDatabase.h"

TDefaults ReadDefaults() {
  const TRecordingDatabase recording(TSettingsAccess::ReadOnly);
  const TLineDatabase line(TSettingsAccess::ReadOnly);
  TDefaults defaults;
  defaults.SessionLog = recording.GetBoolean("Session Log");
  defaults.SessionFolder = recording.GetString("Folder");
  defaults.KeepDays = recording.GetInteger("Keep Days");
  defaults.RtsActiveLow = line.GetBoolean("RTS Active Low");
  // Both stores read the one file: its fault is said once.
  defaults.Warning = !recording.HiveProblem().empty() ? recording.HiveProblem()
                     : !line.HiveProblem().empty()    ? line.HiveProblem()
                                                      : DamagedValuesReport({&recording, &line});
  return defaults;
}
