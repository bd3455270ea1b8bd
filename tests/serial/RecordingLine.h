#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

// A serial line that records every call made on it, with the tick at which
// it was made. RecordingLine.cpp defines the platform's comm-device and
// tick-counter calls; a test executable linked with it gets them instead of
// the real ones, so the code under test is the production code, unchanged.
// It defines every function of CommDevice.h and TickCounter.h: were one
// missing, the linker would bring in the real file beside it and refuse the
// duplicates.
// Time is virtual: it moves only when the code sleeps and while a write
// drains, so waits are measured exactly and cost no wall-clock time.

struct LineCall {
  // "open", "state", "timeouts", "rts+", "rts-", "dtr+", "dtr-", "write",
  // "poll" (the receive queue looked at), "read", "close".
  std::string What;
  std::uint32_t At = 0;  // tick at the call
  std::uint32_t End = 0; // tick at its return
  std::string Data;      // path opened, bytes written or read
  std::uint32_t Baud = 0;
};

class RecordingLine {
public:
  // The one line of the test executable, emptied and its clock set to start.
  static RecordingLine& Reset(std::uint32_t start);

  std::uint32_t Now = 0;
  // Ticks a write takes to leave the wire, per byte.
  std::uint32_t DrainTicksPerByte = 1;
  // What each look at the receive queue finds, in turn; empty once used up.
  std::deque<std::string> Arrivals;
  std::vector<LineCall> Calls;

  // The kinds of the calls, blank-separated: "rts+ write rts- poll".
  std::string Kinds() const;
};
