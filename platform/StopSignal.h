#pragma once

namespace platform {

// Turns the interrupt and terminate requests (Ctrl+C, SIGINT, SIGTERM; on
// Windows Ctrl+C, Ctrl+Break and the console closing) into a flag a loop
// polls, so it can finish the step it is in before it ends.
void CatchStopSignals();
bool StopRequested();

} // namespace platform
