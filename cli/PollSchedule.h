#pragma once

#include <cstdint>

// When poll rounds start, as the panel monitor's timer ticks: a round every
// period; a round that outlasts its period is followed at once by the next
// (one tick waits, the rest are dropped), and the beat restarts from there.
// Times are tick-counter milliseconds, compared as unsigned differences.
class TPollSchedule {
public:
  TPollSchedule(std::uint32_t periodMs, std::uint32_t startMs) : Period(periodMs), Due(startMs) {}

  // How long until the next round is due (0: start it now).
  std::uint32_t WaitMs(std::uint32_t nowMs) const;
  // A round starts now: the one after it is due a period after this one's
  // due time, or a period from now when more than one tick was missed.
  void RoundStarted(std::uint32_t nowMs);

private:
  std::uint32_t Period;
  std::uint32_t Due;
};
