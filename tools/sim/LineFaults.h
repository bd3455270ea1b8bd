#pragma once

#include <string>

// What a real line does to answers, for trying the program against it: an
// instrument without echo or with part of one, an answer whose first byte
// the adapter missed while it turned its transmitter round, and the garbage
// an instrument gives at another rate than its own.
struct TLineFaults {
  bool NoEcho = false;
  bool PartialEcho = false; // the echo breaks off after the command's first half
  bool FirstByteLost = false;
};

// The answer as it arrives; answer is the instrument's "command value CR LF".
std::string ApplyLineFaults(const std::string& answer, const std::string& command,
                            const TLineFaults& faults);

// What the answer becomes when the two ends run at different rates: every
// byte misframed into one with its top bit set, about half of them lost.
std::string WrongRateGarbage(const std::string& answer);
