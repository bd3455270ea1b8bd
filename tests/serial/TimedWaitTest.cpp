#include "serial/TimedWait.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// A tick counter that only moves when the waiter sleeps, in steps of Step.
struct FakeClock {
  std::uint32_t Now;
  std::uint32_t Step;
  std::vector<std::uint32_t> Sleeps;

  TTickClock Clock() {
    return TTickClock{[this] { return Now; },
                      [this](std::uint32_t ms) {
                        Sleeps.push_back(ms);
                        Now += Step == 0 ? ms : Step;
                      }};
  }
};

} // namespace

TEST(TimedWait, EndsAtTheFirstReadingPastTheWaitAcrossTheWrap) {
  for (const std::uint32_t start : {0U, 1000U, 0xFFFFFFF0U, 0xFFFFFFFFU}) {
    FakeClock fake{start, 0, {}};
    TimedWait(50, fake.Clock());
    EXPECT_EQ(fake.Now - start, 51U) << start;
    // It sleeps towards the deadline instead of spinning.
    EXPECT_LE(fake.Sleeps.size(), 2U) << start;
  }
}

TEST(TimedWait, CoarseTicksEndAtTheFirstStepBeyond) {
  FakeClock fake{0xFFFFFFE0U, 16, {}};
  TimedWait(350, fake.Clock());
  const std::uint32_t elapsed = fake.Now - 0xFFFFFFE0U;
  EXPECT_GT(elapsed, 350U);
  EXPECT_LE(elapsed, 350U + 16U);
}

TEST(TimedWait, ZeroWaitStillPassesOneTick) {
  FakeClock fake{7, 0, {}};
  TimedWait(0, fake.Clock());
  EXPECT_EQ(fake.Now, 8U);
}
