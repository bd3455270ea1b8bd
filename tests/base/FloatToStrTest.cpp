#include "base/FloatToStr.h"

#include <gtest/gtest.h>

TEST(FloatToStr, GeneralFormatWithFifteenDigits) {
  const std::pair<double, const char*> cases[] = {
      {23.5, "23.5"},
      {-0.01, "-0.01"},
      {12, "12"},
      {0, "0"},
      {-327.68, "-327.68"},
      {327.67, "327.67"},
      {0.0001, "0.0001"},
      {0.00001, "1E-5"},
      {0.000015, "1.5E-5"},
      {999999999999999.0, "999999999999999"},
      {1e15, "1E15"},
      {1.0 / 3.0, "0.333333333333333"},
      {2350 / 100.0, "23.5"},
  };
  for (const auto& [value, text] : cases)
    EXPECT_EQ(FloatToStr(value, '.'), text) << value;
}

TEST(FloatToStr, UsesTheGivenDecimalSeparator) {
  EXPECT_EQ(FloatToStr(23.5, ','), "23,5");
  EXPECT_EQ(FloatToStr(1.5e-7, ','), "1,5E-7");
}
