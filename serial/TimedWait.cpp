#include "serial/TimedWait.h"

#include "platform/TickCounter.h"

const TTickClock& SystemTickClock() {
  static const TTickClock clock{platform::GetTickCount, platform::Sleep};
  return clock;
}

void TimedWait(std::uint32_t ms, const TTickClock& clock) {
  const std::uint32_t start = clock.Now();
  for (;;) {
    const std::uint32_t elapsed = clock.Now() - start;
    if (elapsed > ms)
      return;
    clock.Sleep(ms - elapsed + 1);
  }
}

void WaitUntilElapsed(std::uint32_t start, std::uint32_t ms, const TTickClock& clock) {
  const std::uint32_t elapsed = clock.Now() - start;
  if (elapsed < ms)
    TimedWait(ms - elapsed - 1, clock);
}
