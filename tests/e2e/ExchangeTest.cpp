// Exchanges over a real pseudo-terminal with the simulated instrument on the
// other side. Each exchange takes about 450 ms, so cases are grouped.
#include "base/Exception.h"
#include "serial/DeviceLost.h"
#include "serial/K4410RProtocol.h"
#include "tests/support/SimProcess.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <iterator>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

std::string ReadAll(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Runs one exchange and returns its duration in milliseconds.
long Exchange(TK4410RProtocol& protocol, const std::string& request) {
  protocol.Request = request;
  const auto start = Clock::now();
  protocol.Transact();
  return static_cast<long>(
      std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count());
}

} // namespace

TEST(Exchange, RequestsGoOutWithCrLfAndAnswersComeBackWhole) {
  ScopedConfigHome home;
  const auto record = home.Path() / "wire";
  SimProcess sim({"--steady", "--record", record.string()});
  TK4410RProtocol protocol(sim.DevicePath(), 9600);
  EXPECT_EQ(protocol.AnswerDelay, 350);
  EXPECT_TRUE(protocol.ExpectAnswer);

  const long ms = Exchange(protocol, "p.v");
  EXPECT_EQ(protocol.Answer, "p.v 23.5\r\n");
  EXPECT_EQ(protocol.Request, "p.v\r\n");
  EXPECT_EQ(ReadAll(record), "p.v\r\n");
  // The exchange's own waits add up to 450 ms; a loaded machine only adds to
  // them. How long it takes is measured by bench/exchange.
  EXPECT_GE(ms, 450);

  Exchange(protocol, "");
  EXPECT_EQ(protocol.Answer, "");
  Exchange(protocol, "F0");
  EXPECT_EQ(protocol.Answer, "F0 FF FE 00 00 2E 09 F6 FF\r\n");
  EXPECT_EQ(ReadAll(record), "p.v\r\n\r\nF0\r\n");
}

TEST(Exchange, SilenceGivesAnEmptyAnswerAfterTheFullWait) {
  ScopedConfigHome home;
  SimProcess sim({"--silent"});
  TK4410RProtocol protocol(sim.DevicePath(), 9600);
  const long ms = Exchange(protocol, "p.v");
  EXPECT_EQ(protocol.Answer, "");
  EXPECT_GE(ms, 450);
}

TEST(Exchange, PiecesQueuedInTimeAreJoined) {
  ScopedConfigHome home;
  SimProcess sim({"--steady", "--pieces", "4", "--gap", "40"});
  TK4410RProtocol protocol(sim.DevicePath(), 9600);
  Exchange(protocol, "p.v");
  EXPECT_EQ(protocol.Answer, "p.v 23.5\r\n");
}

TEST(Exchange, LateBytesStartTheNextAnswer) {
  ScopedConfigHome home;
  SimProcess sim({"--steady", "--delay", "600"});
  TK4410RProtocol protocol(sim.DevicePath(), 9600);
  Exchange(protocol, "p.v");
  EXPECT_EQ(protocol.Answer, "");
  Exchange(protocol, "s.p");
  EXPECT_EQ(protocol.Answer, "p.v 23.5\r\n");
}

TEST(Exchange, HostileAnswersAreTakenWholeAndByteForByte) {
  ScopedConfigHome home;
  {
    SimProcess sim({"--garbage"});
    TK4410RProtocol protocol(sim.DevicePath(), 9600);
    for (int i = 0; i < 3; ++i) {
      Exchange(protocol, "p.v");
      EXPECT_FALSE(protocol.Answer.empty());
    }
  }
  {
    // Far more than a terminal queues at once: every read takes what is
    // there, and what comes later is left for the next exchange.
    SimProcess sim({"--steady", "--answer-size", "20000"});
    TK4410RProtocol protocol(sim.DevicePath(), 9600);
    std::string collected;
    for (int i = 0; i < 8 && collected.size() < 20006; ++i) {
      Exchange(protocol, i == 0 ? "p.v" : "unknown");
      collected += protocol.Answer;
    }
    EXPECT_EQ(collected, "p.v " + std::string(20000, '7') + "\r\n");
  }
}

TEST(Exchange, ADeviceThatVanishesEndsTheExchangeAndThePortOpensAgain) {
  ScopedConfigHome home;
  std::string port;
  {
    SimProcess sim({"--steady", "--hangup-after", "2"});
    port = sim.PortName();
    TK4410RProtocol protocol(sim.DevicePath(), 9600);
    Exchange(protocol, "p.v");
    EXPECT_EQ(protocol.Answer, "p.v 23.5\r\n");
    // The hung-up line fails the look at the receive queue: the device is
    // gone, not silent.
    try {
      Exchange(protocol, "p.v");
      ADD_FAILURE() << "the vanished device went unnoticed";
    } catch (const TDeviceLost& error) {
      EXPECT_EQ(std::string(error.what()), sim.DevicePath() +
                                               " is not available\r\n"
                                               "Input/output error: the device is not connected");
    }
    EXPECT_FALSE(protocol.Port->IsOpen());
    EXPECT_TRUE(sim.WaitForExit(2000));
  }
  SimProcess again({"--steady", "--port", port.substr(3)});
  ASSERT_EQ(again.PortName(), port);
  TK4410RProtocol protocol(again.DevicePath(), 9600);
  Exchange(protocol, "p.v");
  EXPECT_EQ(protocol.Answer, "p.v 23.5\r\n");
}

TEST(Exchange, APortHeldByAnotherProtocolIsNotAvailable) {
  ScopedConfigHome home;
  SimProcess sim;
  TK4410RProtocol first(sim.DevicePath(), 9600);
  try {
    TK4410RProtocol second(sim.DevicePath(), 9600);
    FAIL() << "second open succeeded";
  } catch (const Exception& error) {
    EXPECT_EQ(std::string(error.what()),
              sim.DevicePath() + " is not available\r\n"
                                 "Device or resource busy: another program holds the port");
  }
  Exchange(first, "p.v");
  EXPECT_EQ(first.Answer, "p.v 23.5\r\n");
}

TEST(Exchange, TheSamePortClosedAndOpenedAgainExchangesAgain) {
  ScopedConfigHome home;
  SimProcess sim;
  for (int round = 0; round < 3; ++round) {
    TK4410RProtocol protocol(sim.DevicePath(), 9600);
    Exchange(protocol, "p.v");
    EXPECT_EQ(protocol.Answer, "p.v 23.5\r\n") << "round " << round;
  }
}

// The line's rate reaches the device: an instrument that answers only at
// its own rate gives garbage to a line opened at another.
TEST(Exchange, AStrictInstrumentAnswersOnlyAtItsOwnRate) {
  ScopedConfigHome home;
  SimProcess sim({"--steady", "--strict"});
  {
    TK4410RProtocol protocol(sim.DevicePath(), 4800);
    Exchange(protocol, "p.v");
    EXPECT_FALSE(protocol.Answer.empty());
    EXPECT_EQ(protocol.Answer.find("23.5"), std::string::npos) << protocol.Answer;
  }
  TK4410RProtocol protocol(sim.DevicePath(), 9600);
  Exchange(protocol, "p.v");
  EXPECT_EQ(protocol.Answer, "p.v 23.5\r\n");
}

// Ending at the line end on a real line: pieces joined, a late answer left
// for the next exchange, and a stale line kept in front of the answer.
TEST(Exchange, AtTheLineEndPiecesJoinLateBytesWaitAndStaleOnesStayInFront) {
  ScopedConfigHome home;
  {
    SimProcess sim({"--steady", "--pieces", "4", "--gap", "40"});
    TK4410RProtocol protocol(sim.DevicePath(), 9600);
    protocol.AnswerEnd = TAnswerEnd::Line;
    Exchange(protocol, "p.v");
    EXPECT_EQ(protocol.Answer, "p.v 23.5\r\n");
  }
  {
    SimProcess sim({"--steady", "--delay", "600"});
    TK4410RProtocol protocol(sim.DevicePath(), 9600);
    protocol.AnswerEnd = TAnswerEnd::Line;
    Exchange(protocol, "p.v");
    EXPECT_EQ(protocol.Answer, "");
    Exchange(protocol, "s.p");
    EXPECT_EQ(protocol.Answer, "p.v 23.5\r\n");
  }
  // Late enough that an end at the stale line end would miss it.
  SimProcess sim({"--steady", "--delay", "100", "--stale", "old 1\r\n"});
  TK4410RProtocol protocol(sim.DevicePath(), 9600);
  protocol.AnswerEnd = TAnswerEnd::Line;
  Exchange(protocol, "p.v");
  EXPECT_EQ(protocol.Answer, "p.v 23.5\r\n");
  // The simulator sends the stale line half a second after its answer.
  std::this_thread::sleep_for(std::chrono::milliseconds(800));
  Exchange(protocol, "p.v");
  EXPECT_EQ(protocol.Answer, "old 1\r\np.v 23.5\r\n");
}
