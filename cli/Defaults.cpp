#include "cli/Defaults.h"

#include "line/InstrumentLine.h"
#include "settings/LineDatabase.h"
#include "settings/RecordingDatabase.h"
#include "settings/SettingNames.h"

TDefaults ReadDefaults() {
  const TRecordingDatabase recording(TSettingsAccess::ReadOnly);
  const TLineDatabase line(TSettingsAccess::ReadOnly);
  TDefaults defaults;
  defaults.SessionLog = recording.GetBoolean(Setting::SessionLog);
  defaults.SessionFolder = recording.GetString(Setting::Folder);
  defaults.KeepDays = recording.GetInteger(Setting::KeepDays);
  defaults.RtsActiveLow = line.GetBoolean(Setting::RtsActiveLow);
  defaults.AnswerEnd = AnswerEndOf(line.GetInteger(Setting::AnswerEnd));
  // Both stores read the one file: its fault is said once.
  defaults.Warning = !recording.HiveProblem().empty() ? recording.HiveProblem()
                     : !line.HiveProblem().empty()    ? line.HiveProblem()
                                                      : DamagedValuesReport({&recording, &line});
  return defaults;
}
