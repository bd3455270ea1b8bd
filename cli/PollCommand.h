#pragma once

#include "cli/CliOptions.h"
#include "cli/Defaults.h"
#include "cli/ExitStatus.h"

#include <ostream>

// The commands in turn, a round every period, until a signal, --for or
// --count ends it; readings to the CSV, JSON Lines, the broker and the
// session record. An unplugged adapter is reported once and opened again
// under its name when it is back; its readings meanwhile are empty.
TExitStatus RunPoll(const TCliOptions& options, const TDefaults& defaults, std::ostream& err);
