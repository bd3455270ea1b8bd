#include "base/Format.h"
#include "base/Exception.h"

#include <gtest/gtest.h>

TEST(Format, PlaceholdersOfTheSystem) {
  EXPECT_EQ(Format("%d. %s", 3, std::string("p.v 23.5")), "3. p.v 23.5");
  EXPECT_EQ(Format("COM%d", -7), "COM-7");
  EXPECT_EQ(Format("%d", INT32_MIN), "-2147483648");
  EXPECT_EQ(Format("System Error %.4x - %s", 5, "x"), "System Error 0005 - x");
  EXPECT_EQ(Format("%.4x", 0x103), "0103");
  EXPECT_EQ(Format("%.4x", 0x12345), "12345");
  EXPECT_EQ(Format("%.4x", -1), "FFFFFFFF");
  EXPECT_EQ(Format("%x", 0xabc), "ABC");
  EXPECT_EQ(Format("100%% %s", ""), "100% ");
  EXPECT_EQ(Format("%5d|%-3s|%.2s", 42, "a", "abc"), "   42|a  |ab");
}

TEST(Format, BytesPassThroughUnchanged) {
  const std::string bytes("a\0\xff\r\n", 5);
  EXPECT_EQ(Format("[%s]", bytes), "[" + bytes + "]");
}

TEST(Format, MismatchRaisesInsteadOfReadingGarbage) {
  EXPECT_THROW(Format("%d", "text"), Exception);
  EXPECT_THROW(Format("%s", 1), Exception);
  EXPECT_THROW(Format("%s %s", "one"), Exception);
  EXPECT_THROW(Format("%q", 1), Exception);
  EXPECT_THROW(Format("trailing %"), Exception);
}
