#pragma once

#include "serial/AnswerEnd.h"

#include <string>

// What the window's settings say where the command line says nothing.
struct TDefaults {
  bool SessionLog = true;
  std::string SessionFolder; // empty: the default folder
  int KeepDays = 90;         // 0 keeps every day's record
  bool RtsActiveLow = false;
  TAnswerEnd AnswerEnd = TAnswerEnd::Wait;
  // What could not be read and so keeps its default; empty when all was.
  std::string Warning;
};

// Read from the subkeys Recording and Line of the program's key. The file
// is never written, moved or replaced, not even one that cannot be parsed:
// the window's settings stay the window's to mend.
TDefaults ReadDefaults();
