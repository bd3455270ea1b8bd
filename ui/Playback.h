#pragma once

#include "base/TextFile.h"

#include <memory>
#include <string>

// File playback, apart from the window: the file being played and the
// repeat state to restore when it ends.
class TPlayback {
public:
  // What one playback tick asks of the window.
  struct TStep {
    enum class TKind { Idle, SendLine, Finished };
    TKind Kind = TKind::Idle;
    std::string Line;          // SendLine: the next line to send
    bool RestoreCycle = false; // Finished: the repeat state before playback
    bool RestoreMessage = false;
    std::string Message; // Finished: the message to put back when RestoreMessage
  };

  void Start(std::unique_ptr<TTextFile> file, bool cycle, const std::string& message);
  // The next line, or, at the end of the file, the state to restore (the
  // file is then closed and playback over).
  TStep Next();
  // Ends playback early, as if the file were exhausted; Idle when none runs.
  TStep Stop();

  bool Playing() const { return File != nullptr; }

private:
  TStep Finish();

  std::unique_ptr<TTextFile> File;
  bool SavedCycle = false;
  std::string SavedMessage;
};
