#include "ui/LineTurns.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace {

// A line that fails the test when an exchange starts while one is under
// way, and lets sources fall due in the middle of an exchange, as timers do
// in an event loop run during a turn.
class FakeLine {
public:
  void Exchange(const std::string& who) {
    EXPECT_FALSE(InExchange) << who << " overlaps another exchange";
    InExchange = true;
    Made.push_back(who);
    if (const auto during = During.find(who); during != During.end())
      during->second();
    InExchange = false;
  }

  std::vector<std::string> Made;
  std::map<std::string, std::function<void()>> During;

private:
  bool InExchange = false;
};

class LineTurnsTest : public testing::Test {
protected:
  TLineTurns::TSource Source(const std::string& name) {
    return Turns.Add([this, name] { Line.Exchange(name); });
  }
  // What the window's event loop does with the wake-ups.
  void TurnEventLoop(int most = 20) {
    for (; Wakes > 0 && most > 0; --most) {
      --Wakes;
      Turns.RunWaiting();
    }
  }

  FakeLine Line;
  int Wakes = 0;
  TLineTurns Turns{[this] { ++Wakes; }};
};

using Made = std::vector<std::string>;

} // namespace

TEST_F(LineTurnsTest, DuesDuringATurnWaitOnceEachInTheOrderTheyFellDue) {
  const auto a = Source("a"), b = Source("b"), c = Source("c");
  bool first = true;
  Line.During["a"] = [&] {
    if (!std::exchange(first, false))
      return;
    Turns.Due(c);
    Turns.Due(b);
    Turns.Due(c); // waiting already: skipped
    Turns.Due(a); // its own timer fell due during its turn
    EXPECT_TRUE(Turns.Busy());
  };
  Turns.Due(a);
  EXPECT_EQ(Line.Made, Made{"a"}) << "nothing runs inside the turn";
  Turns.Due(b); // before the loop turned: still behind c, skipped
  TurnEventLoop();
  EXPECT_EQ(Line.Made, (Made{"a", "c", "b", "a"}));
  EXPECT_EQ(Turns.Counts(c).Due, 2u);
  EXPECT_EQ(Turns.Counts(c).Made, 1u);
  EXPECT_EQ(Turns.Counts(c).Skipped, 1u);
  EXPECT_EQ(Turns.Counts(b).Skipped, 1u);
  EXPECT_EQ(Turns.Counts(a).Made, 2u);
  EXPECT_FALSE(Turns.Busy());
}

// Intervals shorter than the exchange: a 100 ms source falls due four times
// in each 450 ms exchange. Every source still has its turn in order, the
// surplus is skipped, and nothing piles up.
TEST_F(LineTurnsTest, ASaturatedLineSkipsDuesInsteadOfQueueingThem) {
  const auto fast = Source("fast"), cycle = Source("cycle"), panel = Source("panel");
  std::size_t longestQueue = 0;
  const auto busyExchange = [&] {
    for (int tick = 0; tick < 4; ++tick)
      Turns.Due(fast);
    Turns.Due(cycle);
    Turns.Due(panel);
    std::size_t waiting = 0;
    for (const auto source : {fast, cycle, panel})
      waiting += Turns.Waiting(source) ? 1 : 0;
    longestQueue = std::max(longestQueue, waiting);
  };
  Line.During = {{"fast", busyExchange}, {"cycle", busyExchange}, {"panel", busyExchange}};
  Turns.Due(fast);
  TurnEventLoop(10);
  EXPECT_EQ(Line.Made.size(), 11u);
  EXPECT_EQ(Made(Line.Made.begin(), Line.Made.begin() + 7),
            (Made{"fast", "fast", "cycle", "panel", "fast", "cycle", "panel"}));
  EXPECT_LE(longestQueue, 3u);
  const auto& counts = Turns.Counts(fast);
  EXPECT_EQ(counts.Due, counts.Made + counts.Skipped + (Turns.Waiting(fast) ? 1 : 0));
  EXPECT_GT(counts.Skipped, counts.Made);
}

TEST_F(LineTurnsTest, APausedOrRemovedSourceIsNotHeardAndAFailedTurnFreesTheLine) {
  const auto button = Source("button"), cycle = Source("cycle");
  const auto failing = Turns.Add([&] {
    Line.Exchange("failing");
    Turns.Due(button);
    throw std::runtime_error("no answer");
  });
  Line.During["cycle"] = [&] { Turns.Due(button); };

  Turns.SetPaused(button, true);
  Turns.Due(button);
  EXPECT_TRUE(Line.Made.empty());
  EXPECT_EQ(Turns.Counts(button).Due, 0u);
  Turns.SetPaused(button, false);
  Turns.Due(cycle);
  Turns.SetPaused(button, true); // playback starts: its waiting turn goes too
  TurnEventLoop();
  EXPECT_EQ(Line.Made, Made{"cycle"});

  Turns.SetPaused(button, false);
  EXPECT_THROW(Turns.Due(failing), std::runtime_error);
  EXPECT_FALSE(Turns.Busy());
  TurnEventLoop();
  EXPECT_EQ(Line.Made, (Made{"cycle", "failing", "button"}));

  Turns.Remove(button);
  Turns.Due(button);
  EXPECT_EQ(Line.Made.size(), 3u);
}
