#include "cli/Defaults.h"

#include "settings/LineDatabase.h"
#include "settings/RecordingDatabase.h"

TDefaults ReadDefaults() {
  // Loading never writes: a missing or damaged value keeps its default and
  // the file stays as it is.
  const TRecordingDatabase recording;
  const TLineDatabase line;
  TDefaults defaults;
  defaults.SessionLog = recording.GetBoolean("Session Log");
  defaults.SessionFolder = recording.GetString("Folder");
  defaults.KeepDays = recording.GetInteger("Keep Days");
  defaults.RtsActiveLow = line.GetBoolean("RTS Active Low");
  return defaults;
}
