#pragma once

#include "cli/Defaults.h"
#include "line/InstrumentLine.h"
#include "serial/SerialPort.h"

#include <functional>
#include <memory>
#include <string>

// The line of a send or a poll. Its session record holds the window's
// lines, in the folder the window's settings name; on, the days older than
// Keep Days are removed first, as the window does at start, so a station
// without the window keeps its records within bounds too. A record line
// that cannot be written is warned about once through warn and then left
// off: it never stops the program or changes its status.
std::unique_ptr<TInstrumentLine> MakeCliLine(bool record, const TDefaults& defaults,
                                             std::function<void(const std::string&)> warn);

// The port the command line names, as the window names it.
TSerialPort NamedPort(const std::string& portName);
// Opens it as the window opens it; raises TPortUnavailable, with the
// program's own message and its hint, when it cannot be opened.
void OpenNamedPort(TInstrumentLine& line, const TSerialPort& port, bool rtsActiveLow,
                   TAnswerEnd answerEnd);
