#include "record/Number.h"

#include <gtest/gtest.h>

TEST(Number, ReadsWhatAReaderWouldTakeForANumberAndNothingElse) {
  struct Case {
    const char* Text;
    char Separator;
    const char* Expected; // nullptr: not a number
  };
  const Case cases[] = {
      {" 23.5\r\n", '.', "23.5"},  {"+1,25", ',', "1.25"},    {"1.25", ',', "1.25"},
      {"-0.5e-3", '.', "-0.5e-3"}, {"7E+2", '.', "7E+2"},     {".5", '.', ".5"},
      {"5.", ',', "5."},           {"1,5", '.', nullptr},     {"1.2.3", '.', nullptr},
      {"1.2,3", ',', nullptr},     {"0x1A", '.', nullptr},    {"inf", '.', nullptr},
      {"nan", '.', nullptr},       {"1e", '.', nullptr},      {"+", '.', nullptr},
      {".", '.', nullptr},         {"", '.', nullptr},        {"1 000", '.', nullptr},
      {"--1", '.', nullptr},       {"12V", '.', nullptr},     {"1e999", '.', nullptr},
      {"-1,5e-999", ',', nullptr}, {"4e-320", '.', "4e-320"},
  };
  for (const Case& c : cases) {
    const auto text = NumberText(c.Text, c.Separator);
    if (c.Expected == nullptr) {
      EXPECT_FALSE(text) << c.Text;
      EXPECT_FALSE(ReadsAsNumber(c.Text, c.Separator)) << c.Text;
    } else {
      EXPECT_EQ(text.value_or("(none)"), c.Expected) << c.Text;
    }
  }
  EXPECT_DOUBLE_EQ(ParseReading(" -1,5E1 ", ',').value_or(0), -15.0);
  EXPECT_FALSE(ParseReading("1e999", '.'));
}
