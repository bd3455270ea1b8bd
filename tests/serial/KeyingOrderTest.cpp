// The order in which an exchange keys the RS-485 transmitter, on a line
// that records every call with its tick: on a pseudo-terminal RTS does
// nothing, so only a recording shows it. Time is the recording line's own:
// the bounds below are exact, whatever the load on the machine.
#include "serial/K4410RProtocol.h"
#include "tests/serial/RecordingLine.h"

#include <gtest/gtest.h>

namespace {

// The exchanges cross the tick counter's wrap.
constexpr std::uint32_t Start = 0xFFFFFF00U;
const std::string Path = "\\\\.\\COM5";

// Ticks from the return of one call to the start of the next.
std::uint32_t Gap(const LineCall& before, const LineCall& after) {
  return after.At - before.End;
}

// RTS up, at least 50 ms, the request, at least 50 ms after it has drained,
// RTS down: the first three calls of every exchange.
void ExpectKeyedAround(const RecordingLine& line, const std::string& request) {
  ASSERT_GE(line.Calls.size(), 3u) << line.Kinds();
  const LineCall& up = line.Calls[0];
  const LineCall& write = line.Calls[1];
  const LineCall& down = line.Calls[2];
  EXPECT_EQ(up.What + " " + write.What + " " + down.What, "rts+ write rts-");
  EXPECT_EQ(write.Data, request);
  EXPECT_GE(Gap(up, write), 50u) << "the transmitter settles before the first bit";
  EXPECT_GE(Gap(write, down), 50u) << "the last stop bit leaves before RTS drops";
  // Neither wait is stretched: each exchange holds the bus no longer than it must.
  EXPECT_LT(Gap(up, write), 60u);
  EXPECT_LT(Gap(write, down), 60u);
}

} // namespace

TEST(ProtocolKeying, TheInstrumentsLineOpensAtItsRateWithRtsLowThenDtrHigh) {
  RecordingLine& line = RecordingLine::Reset(Start);
  {
    TK4410RProtocol protocol(Path, 9600);
    ASSERT_EQ(line.Kinds(), "open state timeouts rts- dtr+");
    EXPECT_EQ(line.Calls[0].Data, Path);
    EXPECT_EQ(line.Calls[1].Baud, 9600u) << "the rate is set before the line opens";
  }
  EXPECT_EQ(line.Kinds(), "open state timeouts rts- dtr+ close");
}

TEST(ProtocolKeying, AnExchangeKeysAroundTheRequestThenReadsUntilTheQueueIsEmpty) {
  RecordingLine& line = RecordingLine::Reset(Start);
  TK4410RProtocol protocol(Path, 9600);
  // A slow drain, so a wait counted from the start of the write would show.
  line.DrainTicksPerByte = 20;

  line.Calls.clear();
  line.Arrivals = {"p.v 2", "3.5\r\n", "", "late"};
  protocol.Request = "p.v";
  protocol.Transact();
  ASSERT_EQ(line.Kinds(), "rts+ write rts- poll read poll read poll");
  ExpectKeyedAround(line, "p.v\r\n");
  EXPECT_GE(Gap(line.Calls[2], line.Calls[3]), 350u)
      << "the answer is looked for AnswerDelay later";
  EXPECT_LT(Gap(line.Calls[2], line.Calls[3]), 360u);
  EXPECT_EQ(protocol.Answer, "p.v 23.5\r\n");
  EXPECT_EQ(line.Arrivals, std::deque<std::string>{"late"})
      << "collection ends at the first empty queue";

  // Without an answer to wait for, the exchange ends as RTS drops.
  line.Calls.clear();
  line.Arrivals = {"unasked"};
  protocol.ExpectAnswer = false;
  protocol.Request = "s.p 5";
  protocol.Transact();
  ASSERT_EQ(line.Kinds(), "rts+ write rts-");
  ExpectKeyedAround(line, "s.p 5\r\n");
  EXPECT_EQ(line.Now, line.Calls[2].End) << "no wait after RTS drops";
  EXPECT_EQ(protocol.Answer, "");
  EXPECT_EQ(line.Arrivals.size(), 1u);
}

TEST(ProtocolKeying, TheBaseProtocolSendsTheRequestAsItIsAndWaitsASecond) {
  RecordingLine& line = RecordingLine::Reset(Start);
  TCommunicationProtocol protocol(Path);
  EXPECT_EQ(line.Kinds(), "") << "the base class leaves opening to its caller";
  protocol.Port->Open();

  line.Calls.clear();
  line.Arrivals = {"ok"};
  protocol.Request = "p.v";
  protocol.Transact();
  ASSERT_EQ(line.Kinds(), "rts+ write rts- poll read poll");
  ExpectKeyedAround(line, "p.v");
  EXPECT_GE(Gap(line.Calls[2], line.Calls[3]), 1000u);
  EXPECT_LT(Gap(line.Calls[2], line.Calls[3]), 1010u);
  EXPECT_EQ(protocol.Answer, "ok");
}
