#include "ui/OutputLog.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using Lines = std::vector<std::string>;

TEST(SplitLines, EveryKindOfBreakEndsALine) {
  EXPECT_EQ(SplitLines("a\r\nb\nc\rd"), (Lines{"a", "b", "c", "d"}));
  EXPECT_EQ(SplitLines("a\r\n"), (Lines{"a", ""}));
  EXPECT_EQ(SplitLines("\n\r"), (Lines{"", "", ""}));
  EXPECT_EQ(SplitLines(""), (Lines{""}));
}

TEST(OutputLog, AnswersEndingInCrLfAreNumberedOneThreeFive) {
  TOutputLog log;
  EXPECT_EQ(log.AppendNumbered("p.v 23.5\r\n").Lines, (Lines{"1. p.v 23.5", ""}));
  EXPECT_EQ(log.AppendNumbered("p.v 23.5\r\n").Lines.front(), "3. p.v 23.5");
  EXPECT_EQ(log.AppendNumbered("(no answer)").Lines, (Lines{"5. (no answer)"}));
  EXPECT_EQ(log.AppendNumbered("x").Lines.front(), "6. x");
}

TEST(OutputLog, RawLinesCountAndClearRestartsAtOne) {
  TOutputLog log;
  log.Append("raw\r\nanswer");
  EXPECT_EQ(log.AppendNumbered("a").Lines.front(), "3. a");
  log.Clear();
  EXPECT_EQ(log.Size(), 0u);
  EXPECT_EQ(log.AppendNumbered("a").Lines.front(), "1. a");
}

TEST(OutputLog, BytesPassUnchanged) {
  TOutputLog log;
  const std::string bytes("\x01\xff\xe9\t", 4);
  EXPECT_EQ(log.AppendNumbered(bytes).Lines.front(), "1. " + bytes);
}

TEST(OutputLog, OldestLinesMakeRoomAndNumberingGoesOn) {
  TOutputLog log;
  const std::string line(99, 'x'); // 100 characters with its line end
  std::size_t dropped = 0;
  for (int i = 0; i < 700; ++i)
    dropped += log.Append(line).DropLines;
  EXPECT_LE(log.Size(), TOutputLog::Capacity);
  EXPECT_EQ(log.KeptLines(), 655u);
  EXPECT_EQ(dropped, 45u);
  EXPECT_EQ(log.KeptLines() + dropped, 700u);
  EXPECT_EQ(log.AppendNumbered("a").Lines.front(), "701. a");
}

TEST(OutputLog, AnAppendLargerThanTheViewKeepsItsTail) {
  TOutputLog log;
  log.Append("old");
  const std::string huge = "head\n" + std::string(TOutputLog::Capacity + 10, 'y');
  const TOutputLog::TAppend append = log.Append(huge);
  EXPECT_EQ(append.DropLines, 1u);
  ASSERT_EQ(append.Lines.size(), 1u);
  EXPECT_EQ(append.Lines.front().size() + 1, TOutputLog::Capacity);
  EXPECT_EQ(log.Size(), TOutputLog::Capacity);
  EXPECT_EQ(log.LineCount(), 3u);
}

TEST(OutputLog, AnAnswerOfManyLineBreaksIsTakenAtOnce) {
  // Dropping the lines that do not fit one by one from the front took
  // minutes for an instrument that sent a few hundred kilobytes of breaks;
  // bench/window times the append.
  TOutputLog log;
  const TOutputLog::TAppend append = log.Append(std::string(400000, '\n') + "last");
  // The newest lines that fit: "last" and its line end, and empty lines.
  EXPECT_EQ(append.Lines.size(), TOutputLog::Capacity - 4);
  EXPECT_EQ(append.Lines.back(), "last");
  EXPECT_EQ(log.Size(), TOutputLog::Capacity);
  EXPECT_EQ(log.LineCount(), 400001u);
}

// Escaped and Hex show an answer on one line but number as its text would.
TEST(OutputLog, AViewShowsTheBytesOnOneLineAndNeverChangesTheNumbering) {
  TOutputLog log;
  EXPECT_EQ(log.AppendNumbered("p.v 23.5\r\n", TLogView::Hex).Lines,
            (Lines{"1. 70 2E 76 20 32 33 2E 35 0D 0A"}));
  EXPECT_EQ(log.AppendNumbered(std::string("a\rb\0\xE9", 5), TLogView::Escaped).Lines,
            (Lines{"3. a\\rb\\x00\\xE9"}));
  EXPECT_EQ(log.Append("FF FE\n\n", TLogView::Hex).Lines, (Lines{"46 46 20 46 45 0A 0A"}));
  EXPECT_EQ(log.AppendNumbered("x").Lines, (Lines{"8. x"}));
  EXPECT_EQ(log.Size(), 33u + 16u + 21u + 5u) << "the view holds what it shows";
  EXPECT_EQ(LogViewOf(2), TLogView::Hex);
  EXPECT_EQ(LogViewOf(3), std::nullopt);
  EXPECT_EQ(LogViewOf(-1), std::nullopt);
}
