#pragma once

#include "base/Exception.h"

// What the program's exit status tells a script.
enum class TExitStatus : int {
  Answered = 0,        // every exchange answered; a poll ended by a signal, --for or --count
  SomeSilent = 1,      // at least one exchange got no answer
  Usage = 2,           // the arguments are wrong: nothing was sent
  PortUnavailable = 3, // the port cannot be opened
  DeviceGone = 4,      // the adapter vanished during send
  OutputFailed = 5,    // an output cannot be written
};

// Failures that end the program with a status of their own.
class TUsageError : public Exception {
public:
  using Exception::Exception;
};

class TOutputError : public Exception {
public:
  using Exception::Exception;
};

class TPortUnavailable : public Exception {
public:
  using Exception::Exception;
};
