#include "serial/EchoStrip.h"

#include <gtest/gtest.h>

TEST(EchoStrip, EchoedCommandAndLineEndLeaveTheValue) {
  EXPECT_EQ(PanelCaption("p.v 23.5\r\n", "p.v"), "23.5");
  EXPECT_EQ(PanelCaption("(no answer)", "p.v"), "(no answer)");
  EXPECT_EQ(PanelCaption("p.v\r\n", "p.v"), "");
}

TEST(EchoStrip, CommandInsideAValueKeepsItsDigits) {
  EXPECT_EQ(PanelCaption("1 21.5\r\n", "1"), "21.5");
  EXPECT_EQ(PanelCaption("1 1.1 11\r\n", "1"), "1.1 11");
  EXPECT_EQ(PanelCaption("xp.v 3", "p.v"), "xp.v 3");
  EXPECT_EQ(PanelCaption("p.vx 3", "p.v"), "p.vx 3");
}

TEST(EchoStrip, EveryStandaloneEchoGoes) {
  EXPECT_EQ(StripEcho("p.v\tp.v 5\rp.v", "p.v"), "\t 5\r");
  // The second echo only reaches a boundary once the first is gone.
  EXPECT_EQ(StripEcho("a a a a", "a a"), " ");
  // Case-sensitive, as the bytes came.
  EXPECT_EQ(StripEcho("P.V 1", "p.v"), "P.V 1");
}

TEST(EchoStrip, EmptyCommandLeavesTheAnswer) {
  EXPECT_EQ(StripEcho(" 7 ", ""), " 7 ");
}

TEST(EchoStrip, TrimDropsBlanksAndControlsOnly) {
  EXPECT_EQ(TrimBlanks(std::string("\0 \x1f"
                                   "a b\x7f\t\r\n",
                                   10)),
            "a b\x7f");
  EXPECT_EQ(TrimBlanks("\xe9 x \xa0"), "\xe9 x \xa0");
  EXPECT_EQ(TrimBlanks(" \r\n "), "");
}
