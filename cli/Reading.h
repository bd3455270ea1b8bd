#pragma once

#include "platform/LocalTime.h"

#include <cstdint>
#include <optional>
#include <string>

// One exchange of a poll or a send, as the outputs need it.
struct TReading {
  platform::LocalTime Started;
  std::string Port;    // COMn
  std::string Command; // as sent, without CR LF
  std::string Answer;  // as received; empty for silence
  std::uint32_t Ms = 0;
  bool Lost = false; // the device was gone: no exchange took place

  bool Answered() const { return !Answer.empty(); }
  // What a panel shows: the answer without the command's echo and blanks;
  // none for silence.
  std::optional<std::string> Shown() const;
};
