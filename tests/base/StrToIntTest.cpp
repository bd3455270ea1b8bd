#include "base/StrToInt.h"
#include "base/Exception.h"

#include <gtest/gtest.h>

TEST(StrToInt, AcceptsDecimalAndHexadecimal) {
  const std::pair<const char*, std::int32_t> cases[] = {
      {"0", 0},
      {"03", 3},
      {"  42", 42},
      {"+7", 7},
      {"-7", -7},
      {"2147483647", INT32_MAX},
      {"-2147483648", INT32_MIN},
      {"$1F", 31},
      {"x1f", 31},
      {"X1F", 31},
      {"0x10", 16},
      {"0X10", 16},
      {"$FFFFFFFF", -1},
      {"$FFFF8000", -32768},
      {"$00007FFF", 32767},
      {"-$10", -16},
      {"$80000000", INT32_MIN},
  };
  for (const auto& [text, value] : cases)
    EXPECT_EQ(TryStrToInt(text), value) << text;
}

TEST(StrToInt, RejectsEverythingElse) {
  const char* cases[] = {"",
                         " ",
                         "12 ",
                         "+-1",
                         "--1",
                         "2147483648",
                         "-2147483649",
                         "0x",
                         "$",
                         "$123456789",
                         "1.5",
                         "\t1",
                         "1e3",
                         "$G",
                         "0x-1",
                         "- 1",
                         "99999999999999999999"};
  for (const char* text : cases)
    EXPECT_FALSE(TryStrToInt(text).has_value()) << text;
}

TEST(StrToInt, MessageQuotesTheWholeText) {
  try {
    StrToInt("$FFFFZZ12");
    FAIL() << "no exception";
  } catch (const Exception& error) {
    EXPECT_STREQ(error.what(), "'$FFFFZZ12' is not a valid integer value");
  }
}
