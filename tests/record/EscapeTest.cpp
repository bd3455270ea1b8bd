#include "record/Escape.h"

#include <gtest/gtest.h>

TEST(EscapeField, EveryByteValueRoundTripsThroughOnePrintableLine) {
  std::string bytes;
  for (int value = 0; value < 256; ++value)
    bytes += static_cast<char>(value);
  // Runs that look like escapes must come back as they were, too.
  bytes += "\\x41\\n\\";
  const std::string field = EscapeField(bytes);
  for (const char c : field)
    ASSERT_TRUE(c >= 32 && c <= 126) << static_cast<int>(static_cast<unsigned char>(c));
  EXPECT_EQ(UnescapeField(field), bytes);
  EXPECT_EQ(EscapeField("a\\b\tc\r\nd\x7F\xE9\x01"), "a\\\\b\\tc\\r\\nd\\x7F\\xE9\\x01");
}

// What the window's buttons and marrowlink-cli send for a typed command.
TEST(CommandBytes, UndoesTheRecordsEscapesAndRefusesANulByte) {
  EXPECT_EQ(CommandBytes("F\\x30"), "F0");
  EXPECT_EQ(CommandBytes("\\x02p.v\\r"), std::string("\x02p.v\r"));
  EXPECT_EQ(CommandBytes("a\\qb\\x4"), "a\\qb\\x4") << "a backslash before anything else stays";
  EXPECT_EQ(CommandBytes("end\\"), "end\\");
  EXPECT_EQ(CommandBytes("p\\x00v"), std::nullopt);
  EXPECT_EQ(CommandBytes(std::string("p\0v", 3)), std::nullopt);
  EXPECT_EQ(CommandBytes(""), "");
}
