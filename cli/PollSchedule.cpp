#include "cli/PollSchedule.h"

namespace {

// Whether a lies before b on a wrapping counter.
bool Before(std::uint32_t a, std::uint32_t b) {
  return static_cast<std::int32_t>(a - b) < 0;
}

} // namespace

std::uint32_t TPollSchedule::WaitMs(std::uint32_t nowMs) const {
  return Before(nowMs, Due) ? Due - nowMs : 0;
}

void TPollSchedule::RoundStarted(std::uint32_t nowMs) {
  Due += Period;
  if (Before(Due, nowMs))
    Due = nowMs + Period;
}
