#include "watch/ValueScale.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <set>
#include <sstream>

namespace {

constexpr double Max = std::numeric_limits<double>::max();

std::vector<std::string> Labels(const TValueScale& scale) {
  std::vector<std::string> labels;
  for (const double tick : scale.Ticks)
    labels.push_back(scale.Label(tick));
  return labels;
}

// What every scale must be, whatever its values: it holds them, and its
// ticks are few, round, inside it and told apart by their labels.
void ExpectSound(const std::vector<double>& values) {
  std::ostringstream name;
  name.precision(17);
  for (const double value : values)
    name << value << ' ';
  SCOPED_TRACE(name.str());
  const TValueScale scale = ValueScaleOf(values);
  ASSERT_TRUE(std::isfinite(scale.Low) && std::isfinite(scale.High));
  ASSERT_TRUE(std::isfinite(scale.Step) && scale.Step > 0);
  ASSERT_LT(scale.Low, scale.High);
  for (const double value : values) {
    if (std::isfinite(value)) {
      EXPECT_LE(scale.Low, value);
      EXPECT_GE(scale.High, value);
    }
  }
  const double mantissa = scale.Step / std::pow(10.0, std::floor(std::log10(scale.Step)));
  EXPECT_TRUE(std::abs(mantissa - 1) < 1e-9 || std::abs(mantissa - 2) < 1e-9 ||
              std::abs(mantissa - 5) < 1e-9 || std::abs(mantissa - 10) < 1e-9)
      << scale.Step;
  ASSERT_GE(scale.Ticks.size(), 2u);
  ASSERT_LE(scale.Ticks.size(), 10u);
  for (const double tick : scale.Ticks) {
    EXPECT_GE(tick, scale.Low);
    EXPECT_LE(tick, scale.High);
    EXPECT_NEAR(tick / scale.Step, std::round(tick / scale.Step), 1e-6);
  }
  const std::vector<std::string> labels = Labels(scale);
  EXPECT_EQ(std::set<std::string>(labels.begin(), labels.end()).size(), labels.size())
      << ::testing::PrintToString(labels);
}

} // namespace

// Readings one rounding step apart once gave a step of 1e-17, which no
// tick loop gets past.
TEST(ValueScale, ARangeTooNarrowToTellApartIsOnePercentAroundTheValue) {
  for (const std::vector<double>& values :
       std::vector<std::vector<double>>{{0.3, 0.30000000000000004}, {0.3}, {0.3, 0.3, 0.3}}) {
    const TValueScale scale = ValueScaleOf(values);
    EXPECT_LE(scale.Low, 0.297);
    EXPECT_GE(scale.High, 0.303);
    EXPECT_LT(scale.High - scale.Low, 0.015);
    EXPECT_EQ(Labels(scale),
              (std::vector<std::string>{"0.296", "0.298", "0.300", "0.302", "0.304"}));
  }
  const TValueScale negative = ValueScaleOf(std::vector<double>{-2500, -2500 + 1e-9});
  EXPECT_LE(negative.Low, -2525);
  EXPECT_GE(negative.High, -2475);
  EXPECT_LT(negative.High - negative.Low, 100);

  for (const std::vector<double>& values :
       std::vector<std::vector<double>>{{0}, {0, -0.0}, {}, {1e-310, -1e-310}}) {
    const TValueScale scale = ValueScaleOf(values);
    EXPECT_EQ(scale.Low, -1);
    EXPECT_EQ(scale.High, 1);
    EXPECT_EQ(Labels(scale), (std::vector<std::string>{"-1.0", "-0.5", "0.0", "0.5", "1.0"}));
  }
}

TEST(ValueScale, HugeTinyAndUnboundedValuesGetAnAxisWhoseLabelsDiffer) {
  const TValueScale huge = ValueScaleOf(std::vector<double>{1e300});
  EXPECT_TRUE(huge.Scientific);
  EXPECT_EQ(huge.Label(huge.Ticks.front()), "9.900e+299");
  EXPECT_EQ(huge.LabelFormat(), "%.3e");
  EXPECT_EQ(ValueScaleOf(std::vector<double>{0.25, 0.5}).Label(0.3, ','), "0,30");

  // A reading that is not finite leaves the scale as it was.
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  EXPECT_EQ(ValueScaleOf(std::vector<double>{nan, 4, inf, 6, -inf}).Ticks,
            ValueScaleOf(std::vector<double>{4, 6}).Ticks);

  const std::vector<std::vector<double>> cases = {
      {-1e300, 1e300}, {-Max, Max},    {Max},        {-Max},  {Max, Max / 2}, {1e-300},
      {1e-5, 1e-5},    {0, 1e-20},     {1e14, 1e15}, {-3, 7}, {0, 10},        {0.1, 9.7},
      {99.99, 100.01}, {1e9, 1e9 + 2}, {0, 1e300},   {nan},   {1, 1 + 1e-8},  {-0.001, 0.0001}};
  for (const std::vector<double>& values : cases)
    ExpectSound(values);
  // Values and the limits drawn with them, over many magnitudes.
  for (int exponent = -305; exponent <= 305; exponent += 5) {
    const double unit = std::pow(10.0, exponent);
    ExpectSound({3 * unit, 3.7 * unit});
    ExpectSound({-unit, 0, unit * 1e-3});
    ExpectSound({unit, unit * (1 + 1e-12)});
    ExpectSound({0.5 * unit, 0.51 * unit, 40 * unit});
  }
}
