#pragma once

#include "cli/CliOptions.h"
#include "cli/Defaults.h"
#include "cli/ExitStatus.h"

#include <ostream>

// One exchange per command, one line each on out: the answer as received
// (or, with --value, as a panel shows it), escaped as in the session
// record; an empty line for silence.
TExitStatus RunSend(const TCliOptions& options, const TDefaults& defaults, std::ostream& out,
                    std::ostream& err);
