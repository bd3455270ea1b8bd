#pragma once

#include <cstdint>
#include <string>
#include <vector>

// A tick of the time axis: a round local time, written as a clock shows it
// ("14:30", or "14:30:15" when the ticks are less than a minute apart), and
// the date ("2026-12-08") under the first tick of each day.
struct TTimeTick {
  std::int64_t TimeMs = 0;
  std::string Label;
  std::string Date;
};

// a / b rounded down, for either sign of a (b > 0): the step or the pixel
// column a moment falls in.
std::int64_t FloorDiv(std::int64_t a, std::int64_t b);

// The first of 1, 2, 5, 10, 15, 30 seconds, 1, 2, 5, 10, 15, 30 minutes,
// 1, 2, 3, 6, 12 hours and a day that is at least minStepMs; a day beyond.
std::int64_t TimeStepOf(std::int64_t minStepMs);

// The ticks from t0 up to before t1 on local times that are whole multiples
// of stepMs from the local midnight, as the user's clock showed them: on a
// day the clock changes, an hour repeats or is skipped.
std::vector<TTimeTick> TimeTicks(std::int64_t t0, std::int64_t t1, std::int64_t stepMs);
