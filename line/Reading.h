#pragma once

#include "platform/LocalTime.h"
#include "record/Number.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// One exchange as everything after it takes it, made once by the line that
// made the exchange: the session record, the readings CSV, the limits, the
// trend and the command-line program's outputs.
struct TReading {
  platform::LocalTime Started;
  std::string Port;    // COMn
  std::string Command; // as sent, without CR LF
  std::string Answer;  // as received; empty for silence
  std::uint32_t Ms = 0;
  bool Lost = false; // the device was gone: no exchange took place
  // What a panel shows, the answer without the command's echo and blanks,
  // and the number that is; none for silence.
  std::optional<TShownValue> Shown;

  bool Answered() const { return !Answer.empty(); }
  // The shown value's number; none for silence and text.
  std::optional<double> Number() const;
};

// What an answer to command shows: none for silence.
std::optional<TShownValue> ShownOf(const std::string& answer, std::string_view command,
                                   char decimalSeparator);
