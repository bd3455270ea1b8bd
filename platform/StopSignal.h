#pragma once

namespace platform {

// Turns the interrupt, terminate and hang-up requests (SIGINT, SIGTERM,
// SIGHUP; on Windows Ctrl+C, Ctrl+Break and the console closing) into a
// flag a loop polls, so it can finish the step it is in before it ends.
void CatchStopSignals();
bool StopRequested();

} // namespace platform
