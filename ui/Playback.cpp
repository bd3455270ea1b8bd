#include "ui/Playback.h"

#include <utility>

void TPlayback::Start(std::unique_ptr<TTextFile> file, bool cycle, const std::string& message) {
  File = std::move(file);
  SavedCycle = cycle;
  SavedMessage = message;
}

TPlayback::TStep TPlayback::Next() {
  if (!File)
    return {};
  if (File->Eof())
    return Finish();
  TStep step;
  step.Kind = TStep::TKind::SendLine;
  step.Line = File->ReadLine();
  return step;
}

TPlayback::TStep TPlayback::Stop() {
  if (!File)
    return {};
  return Finish();
}

TPlayback::TStep TPlayback::Finish() {
  TStep step;
  step.Kind = TStep::TKind::Finished;
  step.RestoreCycle = SavedCycle;
  step.RestoreMessage = SavedCycle;
  step.Message = SavedMessage;
  // Playback is over even when closing fails; the error still reaches the
  // operator.
  const std::unique_ptr<TTextFile> file = std::move(File);
  file->Close();
  return step;
}
