#include "watch/Band.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TLimits Band(std::optional<double> low, std::optional<double> high, double hysteresis = 0) {
  return {low, high, hysteresis};
}

// The directions of the crossings a run of readings makes, as named.
std::vector<std::string_view> Crossings(TBandWatch& watch,
                                        const std::vector<std::optional<double>>& readings) {
  std::vector<std::string_view> names;
  for (const auto& reading : readings)
    if (const auto crossing = watch.Judge(reading))
      names.push_back(DirectionName(crossing->Direction));
  return names;
}

using Names = std::vector<std::string_view>;

} // namespace

TEST(BandWatch, ExactlyOnALimitIsInside) {
  TBandWatch watch;
  watch.SetLimits(Band(10, 20));
  EXPECT_EQ(Crossings(watch, {10, 20, 20.000001}), Names{"above"});
  EXPECT_EQ(watch.Look(), TLook::Alarm);
  // Back only when inside by more than the hysteresis, even a hysteresis of
  // none: the limit itself still counts as the side it was on.
  EXPECT_EQ(Crossings(watch, {20, 19.99, 9.99, 10, 10.01}), (Names{"inside", "below", "inside"}));
  EXPECT_EQ(watch.Look(), TLook::Normal);
}

TEST(BandWatch, HysteresisHoldsTheAlarmUntilClearlyBack) {
  TBandWatch watch;
  watch.SetLimits(Band(0, 24, 0.5));
  const auto out = watch.Judge(24.1);
  ASSERT_TRUE(out);
  EXPECT_EQ(out->Direction, TDirection::Above);
  EXPECT_EQ(out->Value, 24.1);
  EXPECT_EQ(out->Bound, TBound::High);
  EXPECT_EQ(out->Limit, 24);
  // Flip-flopping on the limit, and exactly the hysteresis inside, stays out.
  EXPECT_EQ(Crossings(watch, {23.9, 24.1, 23.6, 23.5, 24.2}), Names{});
  EXPECT_EQ(watch.Look(), TLook::Alarm);
  const auto back = watch.Judge(23.4);
  ASSERT_TRUE(back);
  EXPECT_EQ(back->Direction, TDirection::Inside);
  EXPECT_EQ(back->Bound, TBound::High);
  EXPECT_EQ(back->Limit, 24);
  // The low side holds the same way.
  EXPECT_EQ(Crossings(watch, {-0.1, 0.3, 0.5, 0.51}), (Names{"below", "inside"}));
}

TEST(BandWatch, ASideSwitchIsOneCrossing) {
  TBandWatch watch;
  watch.SetLimits(Band(10, 20, 2));
  watch.Judge(25);
  const auto crossing = watch.Judge(5);
  ASSERT_TRUE(crossing);
  EXPECT_EQ(crossing->Direction, TDirection::Below);
  EXPECT_EQ(crossing->Bound, TBound::Low);
  EXPECT_EQ(crossing->Limit, 10);
  // Straight back over the high limit, out of reach of the low one's hold.
  EXPECT_EQ(Crossings(watch, {21, 19, 11}), (Names{"above", "inside"}));
}

TEST(BandWatch, ANonNumberKeepsTheSideAndLooksItsOwn) {
  TBandWatch watch;
  watch.SetLimits(Band(std::nullopt, 24));
  EXPECT_EQ(Crossings(watch, {25, std::nullopt}), Names{"above"});
  EXPECT_EQ(watch.Look(), TLook::NoNumber);
  EXPECT_EQ(watch.Side(), TDirection::Above);
  EXPECT_EQ(Crossings(watch, {26}), Names{}) << "still the one alarm";
  EXPECT_EQ(watch.Look(), TLook::Alarm);
  EXPECT_EQ(Crossings(watch, {std::nullopt, 20}), Names{"inside"});
  EXPECT_EQ(watch.Look(), TLook::Normal);
}

TEST(BandWatch, ChangedLimitsJudgeTheLastNumberAtOnce) {
  TBandWatch watch;
  EXPECT_FALSE(watch.SetLimits(Band(0, 24))) << "nothing read yet";
  watch.Judge(25);
  ASSERT_EQ(watch.Look(), TLook::Alarm);
  // Still beyond the new limit: the same alarm.
  EXPECT_FALSE(watch.SetLimits(Band(0, 24.5)));
  const auto removed = watch.SetLimits(Band(0, std::nullopt));
  ASSERT_TRUE(removed);
  EXPECT_EQ(removed->Direction, TDirection::Inside);
  EXPECT_EQ(removed->Bound, TBound::High);
  EXPECT_EQ(removed->Limit, 24.5) << "the limit it had been beyond";
  EXPECT_EQ(watch.Look(), TLook::Normal);
  const auto below = watch.SetLimits(Band(30, std::nullopt));
  ASSERT_TRUE(below);
  EXPECT_EQ(below->Direction, TDirection::Below);
  EXPECT_EQ(below->Value, 25);
  EXPECT_EQ(below->Limit, 30);
}
