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

// RTS up, at least 50 ms, the request, its drain, at least 50 ms after the
// drain has returned, RTS down: the first four calls of every exchange.
void ExpectKeyedAround(const RecordingLine& line, const std::string& request) {
  ASSERT_GE(line.Calls.size(), 4u) << line.Kinds();
  const LineCall& up = line.Calls[0];
  const LineCall& write = line.Calls[1];
  const LineCall& drain = line.Calls[2];
  const LineCall& down = line.Calls[3];
  EXPECT_EQ(up.What + " " + write.What + " " + drain.What + " " + down.What,
            "rts+ write drain rts-");
  EXPECT_EQ(write.Data, request);
  EXPECT_EQ(drain.At, write.End) << "the drain follows the write at once";
  EXPECT_GE(Gap(up, write), 50u) << "the transmitter settles before the first bit";
  EXPECT_GE(Gap(drain, down), 50u) << "the last stop bit leaves before RTS drops";
  // Neither wait is stretched: each exchange holds the bus no longer than it must.
  EXPECT_LT(Gap(up, write), 60u);
  EXPECT_LT(Gap(drain, down), 60u);
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
  ASSERT_EQ(line.Kinds(), "rts+ write drain rts- poll read poll read poll");
  ExpectKeyedAround(line, "p.v\r\n");
  EXPECT_GE(Gap(line.Calls[3], line.Calls[4]), 350u)
      << "the answer is looked for AnswerDelay later";
  EXPECT_LT(Gap(line.Calls[3], line.Calls[4]), 360u);
  EXPECT_EQ(protocol.Answer, "p.v 23.5\r\n");
  EXPECT_EQ(line.Arrivals, std::deque<std::string>{"late"})
      << "collection ends at the first empty queue";

  // Without an answer to wait for, the exchange ends as RTS drops.
  line.Calls.clear();
  line.Arrivals = {"unasked"};
  protocol.ExpectAnswer = false;
  protocol.Request = "s.p 5";
  protocol.Transact();
  ASSERT_EQ(line.Kinds(), "rts+ write drain rts-");
  ExpectKeyedAround(line, "s.p 5\r\n");
  EXPECT_EQ(line.Now, line.Calls[3].End) << "no wait after RTS drops";
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
  ASSERT_EQ(line.Kinds(), "rts+ write drain rts- poll read poll");
  ExpectKeyedAround(line, "p.v");
  EXPECT_GE(Gap(line.Calls[3], line.Calls[4]), 1000u);
  EXPECT_LT(Gap(line.Calls[3], line.Calls[4]), 1010u);
  EXPECT_EQ(protocol.Answer, "ok");
}

// Drivers whose drain returns as soon as their chip has the bytes: RTS must
// still stay up until the request's tail has left the wire.
TEST(ProtocolKeying, RtsStaysUpForTheWholeRequestWhenTheDrainReturnsEarly) {
  RecordingLine& line = RecordingLine::Reset(Start);
  TK4410RProtocol protocol(Path, 9600);
  line.DrainTicksPerByte = 0;
  protocol.ExpectAnswer = false;
  // Bytes on the wire, CR LF included, and the tick after the write's start
  // at which RTS may drop first: the request plus one character, 11 bits
  // each at 9600 baud, rounded up.
  const struct {
    std::size_t Bytes;
    std::uint32_t KeyedFor;
  } cases[] = {{5, 51}, {43, 51}, {44, 52}, {100, 116}};
  for (const auto& c : cases) {
    line.Calls.clear();
    protocol.Request = std::string(c.Bytes - 2, 'x');
    protocol.Transact();
    ASSERT_EQ(line.Kinds(), "rts+ write drain rts-") << c.Bytes;
    EXPECT_EQ(line.Calls[1].Data.size(), c.Bytes);
    // Up to 43 bytes the drain's 50 ms decide, as they always did.
    EXPECT_EQ(line.Calls[3].At - line.Calls[1].At, c.KeyedFor) << c.Bytes << " bytes";
  }

  // A drain leaves at most a chip's buffer unsent: a request the line took
  // at once (a pseudo-terminal) is held only that buffer's wire time longer.
  line.Calls.clear();
  protocol.Request = std::string(1'000'000, 'x');
  protocol.Transact();
  ASSERT_EQ(line.Kinds(), "rts+ write drain rts-");
  EXPECT_EQ(line.Calls[3].At - line.Calls[1].At, 1175u) << "1025 bytes' wire time";

  // A drain that takes the wire time itself adds its 50 ms after it.
  line.DrainTicksPerByte = 2;
  line.Calls.clear();
  protocol.Request = std::string(98, 'x');
  protocol.Transact();
  ASSERT_EQ(line.Kinds(), "rts+ write drain rts-");
  EXPECT_EQ(line.Calls[3].At - line.Calls[2].End, 51u);
}

TEST(ProtocolKeying, AnActiveLowLineKeysWithRtsLowAndIdlesHigh) {
  RecordingLine& line = RecordingLine::Reset(Start);
  TK4410RProtocol protocol(Path, 9600, true);
  EXPECT_EQ(line.Kinds(), "open state timeouts rts+ dtr+") << "idle from the open on";

  line.Calls.clear();
  line.Arrivals = {"p.v 1\r\n"};
  protocol.Request = "p.v";
  protocol.Transact();
  EXPECT_EQ(line.Kinds(), "rts- write drain rts+ poll read poll");
  EXPECT_EQ(protocol.Answer, "p.v 1\r\n");
}

TEST(ProtocolKeying, AnObserverIsToldEachStepRightAfterTheCallItReports) {
  RecordingLine& line = RecordingLine::Reset(Start);
  TK4410RProtocol protocol(Path, 9600);
  line.Calls.clear();
  line.Arrivals = {"p.v 2", "3.5\r\n", ""};
  protocol.StepObserver = [&](TExchangeStep step, std::size_t bytes) {
    static constexpr const char* Names[] = {"up", "written", "drained", "down", "chunk", "answer"};
    LineCall call;
    call.What = Names[static_cast<int>(step)] + std::to_string(bytes);
    call.At = line.Now;
    line.Calls.push_back(call);
  };
  protocol.Request = "p.v";
  protocol.Transact();
  EXPECT_EQ(line.Kinds(), "rts+ up0 write written5 drain drained5 rts- down0 poll read chunk5 "
                          "poll read chunk5 poll answer10");
  // Each step carries the moment its call returned, as a trace shows it.
  EXPECT_EQ(line.Calls[5].At, line.Calls[4].End);
  EXPECT_EQ(line.Calls[7].At, line.Calls[6].End);
}
