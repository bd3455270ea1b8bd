#include "platform/StopSignal.h"

#include <atomic>
#include <windows.h>

namespace platform {

namespace {

std::atomic<bool> Stop{false};

BOOL WINAPI OnConsoleEvent(DWORD) {
  Stop = true;
  return TRUE;
}

} // namespace

void CatchStopSignals() {
  SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
}

bool StopRequested() {
  return Stop;
}

} // namespace platform
