#include "watch/ValueScale.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <set>

namespace {

constexpr double Max = std::numeric_limits<double>::max();
constexpr double Nan = std::numeric_limits<double>::quiet_NaN();
constexpr double Inf = std::numeric_limits<double>::infinity();

std::vector<std::string> Labels(const TValueScale& scale) {
  std::vector<std::string> labels;
  for (const double tick : scale.Ticks)
    labels.push_back(scale.Label(tick));
  return labels;
}

// Whatever the values: the scale holds them, and its ticks are few, round,
// inside it and told apart by their labels.
void ExpectSound(const std::vector<double>& values) {
  SCOPED_TRACE(::testing::PrintToString(values));
  const TValueScale scale = ValueScaleOf(values);
  ASSERT_TRUE(std::isfinite(scale.Low) && std::isfinite(scale.High) && scale.Low < scale.High);
  ASSERT_TRUE(std::isfinite(scale.Step) && scale.Step > 0);
  for (const double value : values) {
    if (std::isfinite(value)) {
      EXPECT_TRUE(scale.Low <= value && value <= scale.High) << value;
      EXPECT_TRUE(scale.Fraction(value) >= 0 && scale.Fraction(value) <= 1) << value;
    }
  }
  const double mantissa = scale.Step / std::pow(10.0, std::floor(std::log10(scale.Step)));
  EXPECT_NEAR(std::min({std::abs(mantissa - 1), std::abs(mantissa - 2), std::abs(mantissa - 5),
                        std::abs(mantissa - 10)}),
              0, 1e-9)
      << scale.Step;
  ASSERT_GE(scale.Ticks.size(), 2u);
  ASSERT_LE(scale.Ticks.size(), 10u);
  for (const double tick : scale.Ticks)
    EXPECT_TRUE(scale.Low <= tick && tick <= scale.High) << tick;
  const std::vector<std::string> labels = Labels(scale);
  EXPECT_EQ(std::set<std::string>(labels.begin(), labels.end()).size(), labels.size())
      << ::testing::PrintToString(labels);
}

} // namespace

// Readings one rounding step apart once gave a step of 1e-17, which no
// tick loop gets past.
TEST(ValueScale, ARangeTooNarrowToTellApartIsOnePercentAroundTheValue) {
  for (const std::vector<double>& values :
       std::vector<std::vector<double>>{{0.3, 0.30000000000000004}, {0.3}}) {
    const TValueScale scale = ValueScaleOf(values);
    EXPECT_TRUE(scale.Low <= 0.297 && scale.High >= 0.303 && scale.High - scale.Low < 0.015);
    EXPECT_EQ(Labels(scale),
              (std::vector<std::string>{"0.296", "0.298", "0.300", "0.302", "0.304"}));
  }
  for (const std::vector<double>& values :
       std::vector<std::vector<double>>{{0, -0.0}, {}, {1e-310, -1e-310}}) {
    const TValueScale scale = ValueScaleOf(values);
    EXPECT_EQ(Labels(scale), (std::vector<std::string>{"-1.0", "-0.5", "0.0", "0.5", "1.0"}));
  }
}

TEST(ValueScale, HugeTinyAndUnboundedValuesGetAnAxisWhoseLabelsDiffer) {
  const TValueScale huge = ValueScaleOf(std::vector<double>{1e300});
  EXPECT_EQ(huge.Label(huge.Ticks.front()), "9.900e+299");
  EXPECT_EQ(ValueScaleOf(std::vector<double>{0.25, 0.5}).Label(0.3, ','), "0,30");
  EXPECT_EQ(ValueScaleOf(std::vector<double>{Nan, 4, Inf, 6, -Inf}).Ticks,
            ValueScaleOf(std::vector<double>{4, 6}).Ticks);

  for (const std::vector<double>& values : std::vector<std::vector<double>>{
           {-1e300, 1e300}, {-Max, Max}, {Max}, {0, 1e-20}, {1e14, 1e15}, {0, 10}, {Nan}})
    ExpectSound(values);
  // Values with the limits drawn beside them, over every magnitude.
  for (int exponent = -305; exponent <= 305; exponent += 5) {
    const double unit = std::pow(10.0, exponent);
    ExpectSound({3 * unit, 3.7 * unit});
    ExpectSound({-unit, 0, unit * 1e-3});
    ExpectSound({unit, unit * (1 + 1e-12)});
    ExpectSound({0.5 * unit, 0.51 * unit, 40 * unit});
  }
}
