#pragma once

#include "tools/sim/LineFaults.h"

#include <optional>
#include <string>
#include <vector>

// How the simulated instrument behaves; the misbehaviours exist for tests.
struct TSimOptions {
  int Port = 0; // COM number; 0 takes the lowest free one
  bool Drifting = true;
  bool Silent = false;
  int Pieces = 1;
  int GapMs = 30;
  int DelayMs = 0;
  bool Garbage = false;
  int AnswerSize = 0; // pads every answer's value to this many bytes
  int HangupAfter = 0;
  TLineFaults Faults;
  std::string Stale;   // sent between exchanges, to wait in the queue
  bool Strict = false; // answers sensibly only at 9600 baud
  bool Chaos = false;
  int Seed = 0; // 0: a new one every run
  std::string RecordPath;
};

// Parses the command line; on a bad option or --help, prints to stderr or
// stdout and returns nothing with exitCode set.
std::optional<TSimOptions> ParseSimOptions(const std::vector<std::string>& args, int& exitCode);
