#pragma once

#include <cstdint>
#include <deque>
#include <map>
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

// The codes the line's failures carry: a device gone, and one that takes no
// more data.
inline constexpr std::uint32_t GoneCode = 5;
inline constexpr std::uint32_t StalledCode = 110;

struct LineCall {
  // "open", "state", "timeouts", "rts+", "rts-", "dtr+", "dtr-", "write",
  // "drain", "purge", "poll" (the receive queue looked at), "read", "wait"
  // (a read that waits for bytes, up to Limit), "close".
  std::string What;
  std::uint32_t At = 0;  // tick at the call
  std::uint32_t End = 0; // tick at its return
  std::string Data;      // path opened, bytes written or read
  std::uint32_t Baud = 0;
  std::uint32_t Limit = 0; // a drain's or a waiting read's time limit
};

class RecordingLine {
public:
  // The one line of the test executable, emptied and its clock set to start.
  static RecordingLine& Reset(std::uint32_t start);

  std::uint32_t Now = 0;
  // Ticks the drain after a write takes, per byte written: the write itself
  // returns at once, as the driver takes the bytes.
  std::uint32_t DrainTicksPerByte = 1;
  // A drain that never ends: it fails once its time limit has passed.
  bool DrainStalls = false;
  // Calls of these kinds fail with the code given, recorded all the same.
  std::map<std::string, std::uint32_t> Failures;
  // Bytes written since the last drain.
  std::size_t Unsent = 0;
  // What each look at the receive queue finds, in turn; empty once used up.
  std::deque<std::string> Arrivals;
  // Once Arrivals is used up: bytes that reach the receive queue this many
  // ticks after the last write began, in order; a negative count puts them
  // there before any write.
  struct TimedArrival {
    std::int32_t AfterWrite;
    std::string Data;
  };
  std::deque<TimedArrival> Timed;
  std::uint32_t LastWrite = 0;
  bool Written = false;
  std::vector<LineCall> Calls;

  // The kinds of the calls, blank-separated: "rts+ write rts- poll".
  std::string Kinds() const;
};
