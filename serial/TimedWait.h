#pragma once

#include <cstdint>
#include <functional>

// The clock of a timed wait: the tick counter and a way to pass time.
struct TTickClock {
  std::function<std::uint32_t()> Now;
  std::function<void(std::uint32_t)> Sleep;
};

// The operating system's tick counter and sleep.
const TTickClock& SystemTickClock();

// Waits until the tick counter reads more than ms after its reading at the
// start (a wait of 50 ends at the first reading at least 51 ticks later),
// correct across the counter's 32-bit wrap. It sleeps towards that moment
// rather than spinning, and processes no window events.
void TimedWait(std::uint32_t ms, const TTickClock& clock = SystemTickClock());

// Waits until the tick counter reads at least ms after start, a reading
// taken earlier; returns at once when that moment has passed.
void WaitUntilElapsed(std::uint32_t start, std::uint32_t ms,
                      const TTickClock& clock = SystemTickClock());
