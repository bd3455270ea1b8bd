#pragma once

#include <string>

// The instrument's end of a pseudo-terminal. The slave end is held open too,
// in raw mode, so the line keeps its settings and survives the program
// closing and reopening the port.
class TPseudoTerminal {
public:
  TPseudoTerminal();
  ~TPseudoTerminal();
  TPseudoTerminal(const TPseudoTerminal&) = delete;
  TPseudoTerminal& operator=(const TPseudoTerminal&) = delete;

  int MasterFd() const { return Master; }
  const std::string& SlavePath() const { return Path; }
  void Close();

private:
  int Master = -1;
  int Slave = -1;
  std::string Path;
};

// A dosdevices/comN link naming the slave as a COM port, removed again at
// destruction if it still points there.
class TComLink {
public:
  TComLink(std::string target, int number);
  ~TComLink();
  TComLink(const TComLink&) = delete;
  TComLink& operator=(const TComLink&) = delete;

  int Number() const { return Num; }
  void Remove();

private:
  std::string Target;
  std::string LinkPath;
  int Num = 0;
};
