// An exchange that ends at the answer's line end, on the recording line:
// the bytes arrive at virtual ticks after the write, so when it ends, what
// it keeps and what it leaves for the next exchange are exact.
#include "serial/DeviceLost.h"
#include "serial/K4410RProtocol.h"
#include "tests/serial/RecordingLine.h"

#include <gtest/gtest.h>

namespace {

const std::string Path = "\\\\.\\COM5";

struct LineEndExchange {
  RecordingLine& Line = RecordingLine::Reset(0xFFFFFF00U);
  TK4410RProtocol Protocol{Path, 9600};

  LineEndExchange() { Protocol.AnswerEnd = TAnswerEnd::Line; }

  // One exchange of p.v with these arrivals; the ticks from the write's
  // start to the exchange's end.
  std::uint32_t Run(std::deque<RecordingLine::TimedArrival> arrivals) {
    Line.Calls.clear();
    Line.Timed = std::move(arrivals);
    Line.Written = false; // the ticks count from this exchange's write
    Protocol.Request = "p.v";
    Protocol.Transact();
    return Line.Now - Line.LastWrite;
  }
  const LineCall& RtsDown() const {
    for (const LineCall& call : Line.Calls)
      if (call.What == "rts-")
        return call;
    throw std::logic_error("RTS never dropped");
  }
};

} // namespace

TEST(AnswerEnd, AnAnswerInPiecesEndsWithTheLfThatEndsItAndLeavesWhatFollows) {
  LineEndExchange exchange;
  const std::uint32_t ticks =
      exchange.Run({{5, "p.v 2"}, {120, "3.5\r"}, {130, "\n"}, {140, "next\r\n"}});
  EXPECT_EQ(exchange.Protocol.Answer, "p.v 23.5\r\n");
  EXPECT_EQ(ticks, 130u) << "the exchange ends as the LF arrives";
  // The queue is counted before the write, RTS keyed as ever, and then one
  // read waits for each piece: no look at the queue in a loop.
  EXPECT_EQ(exchange.Line.Kinds(), "rts+ poll write drain rts- wait wait wait poll");
  EXPECT_GE(exchange.Line.Calls[2].At - exchange.Line.Calls[0].End, 50u);
  EXPECT_GE(exchange.RtsDown().At - exchange.Line.Calls[3].End, 50u);
  EXPECT_EQ(exchange.Line.Calls[5].At, exchange.RtsDown().End) << "reading starts as RTS drops";
  EXPECT_EQ(exchange.Line.Calls[5].Limit, 351u) << "the longest wait is the answer delay";
  ASSERT_EQ(exchange.Line.Timed.size(), 1u);
  EXPECT_EQ(exchange.Line.Timed.front().Data, "next\r\n") << "left for the next exchange";

  // A second line already read with the first stays; one still to come is
  // left: the answer is cut at its first line end.
  exchange.Run({{10, "a\r\nb"}, {60, "c\r\n"}});
  EXPECT_EQ(exchange.Protocol.Answer, "a\r\nb");
  EXPECT_EQ(exchange.Line.Timed.size(), 1u);
}

TEST(AnswerEnd, SilenceEndsAfterTheAnswerDelayAndBytesQueuedBeforeTheWriteEndNothing) {
  LineEndExchange exchange;
  exchange.Run({});
  EXPECT_EQ(exchange.Protocol.Answer, "");
  EXPECT_EQ(exchange.Line.Now - exchange.RtsDown().End, 351u) << "as long as the fixed wait";

  // Part of an answer that never ends is what the fixed wait would take;
  // what comes after the answer delay is left.
  exchange.Run({{200, "p.v 2"}, {600, "3.5\r\n"}});
  EXPECT_EQ(exchange.Protocol.Answer, "p.v 2");
  EXPECT_EQ(exchange.Line.Now - exchange.RtsDown().End, 351u);

  // A late line queued before the request stays in front, its LF ignored.
  exchange.Run({{-1, "3.5\r\n"}, {80, "p.v 23.5\r\n"}});
  EXPECT_EQ(exchange.Protocol.Answer, "3.5\r\np.v 23.5\r\n");
  EXPECT_EQ(exchange.Line.Now - exchange.Line.LastWrite, 80u);
}

TEST(AnswerEnd, AWaitingReadThatFindsTheDeviceGoneClosesTheLine) {
  LineEndExchange exchange;
  exchange.Line.Failures["wait"] = GoneCode;
  EXPECT_THROW(exchange.Run({{5, "p.v 1\r\n"}}), TDeviceLost);
  EXPECT_FALSE(exchange.Protocol.Port->IsOpen());
  EXPECT_TRUE(exchange.Line.Kinds().ends_with("rts- wait purge close")) << exchange.Line.Kinds();
}
