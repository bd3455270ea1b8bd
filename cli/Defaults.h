#pragma once

#include <string>

// What the window's settings say where the command line says nothing.
struct TDefaults {
  bool SessionLog = true;
  std::string SessionFolder; // empty: the default folder
  int KeepDays = 90;         // 0 keeps every day's record
  bool RtsActiveLow = false;
};

// Read from the subkeys Recording and Line of the program's key; never
// written, so the window's settings stay the window's.
TDefaults ReadDefaults();
