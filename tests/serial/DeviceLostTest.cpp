// A device that goes away under an open port, or stops taking data: the
// exchange ends with one error that says so, and the line is closed with
// its unsent bytes dropped, whichever call of the exchange found it out.
#include "serial/DeviceLost.h"
#include "base/Exception.h"
#include "serial/K4410RProtocol.h"
#include "tests/serial/RecordingLine.h"

#include <gtest/gtest.h>

namespace {

const std::string Path = "\\\\.\\COM5";

// One exchange of request; the message of the TDeviceLost it raised, or ""
// when it raised none.
std::string LostIn(TK4410RProtocol& protocol, const std::string& request = "p.v") {
  protocol.Request = request;
  try {
    protocol.Transact();
  } catch (const TDeviceLost& error) {
    return error.what();
  }
  return {};
}

} // namespace

TEST(DeviceLost, AnyCallOfTheExchangeFindsAGoneDeviceAndClosesTheLine) {
  const struct {
    std::string Kind;
    std::string CallsUpToIt;
  } cases[] = {{"rts+", "rts+"},
               {"write", "rts+ write"},
               {"drain", "rts+ write drain"},
               {"rts-", "rts+ write drain rts-"},
               {"poll", "rts+ write drain rts- poll"},
               {"read", "rts+ write drain rts- poll read"}};
  for (const auto& c : cases) {
    RecordingLine& line = RecordingLine::Reset(1000);
    TK4410RProtocol protocol(Path, 9600);
    line.Calls.clear();
    line.Failures[c.Kind] = GoneCode;
    line.Arrivals = {"p.v 1\r\n"};
    const std::string message = LostIn(protocol);
    EXPECT_EQ(line.Kinds(), c.CallsUpToIt + " purge close") << "unsent bytes go first";
    EXPECT_EQ(line.Calls.end()[-2].Data, "tx") << c.Kind;
    EXPECT_TRUE(message.starts_with(Path + " is not available\r\n")) << c.Kind << ": " << message;
    EXPECT_TRUE(message.ends_with(": the device is not connected")) << c.Kind << ": " << message;
    EXPECT_FALSE(protocol.Port->IsOpen()) << c.Kind;
  }
}

TEST(DeviceLost, OtherFailuresLeaveTheLineOpenAsBefore) {
  RecordingLine& line = RecordingLine::Reset(1000);
  TK4410RProtocol protocol(Path, 9600);
  constexpr std::uint32_t otherCode = 22;

  // A write or read failure that is no loss goes unreported, as it always did.
  line.Calls.clear();
  line.Failures = {{"write", otherCode}};
  line.Arrivals = {"p.v 1\r\n"};
  EXPECT_EQ(LostIn(protocol), "");
  EXPECT_EQ(line.Kinds(), "rts+ write drain rts- poll read poll");
  EXPECT_EQ(protocol.Answer, "p.v 1\r\n");

  // A refused RTS is the system's error, and the port stays open.
  line.Failures = {{"rts+", otherCode}};
  protocol.Request = "p.v";
  try {
    protocol.Transact();
    ADD_FAILURE() << "a refused RTS raised nothing";
  } catch (const TDeviceLost& error) {
    ADD_FAILURE() << "not a lost device: " << error.what();
  } catch (const Exception& error) {
    EXPECT_TRUE(std::string(error.what()).starts_with("System Error.  Code: 22.")) << error.what();
  }
  EXPECT_TRUE(protocol.Port->IsOpen());
}

TEST(DeviceLost, ADrainThatNeverEndsIsGivenUpAfterTheWireTimeAndAFewSeconds) {
  RecordingLine& line = RecordingLine::Reset(1000);
  TK4410RProtocol protocol(Path, 9600);
  line.Calls.clear();
  line.DrainStalls = true;
  const std::string message = LostIn(protocol, std::string(998, 'x'));
  ASSERT_EQ(line.Kinds(), "rts+ write drain purge close");
  // 1000 bytes take 1146 ms at 9600 baud.
  const std::uint32_t limit = line.Calls[2].Limit;
  EXPECT_GE(limit, 1146u + 2000u);
  EXPECT_LE(limit, 1146u + 5000u);
  EXPECT_TRUE(message.starts_with(Path + " is not available\r\n")) << message;
  EXPECT_TRUE(message.ends_with(": the device stopped taking data")) << message;
  EXPECT_FALSE(protocol.Port->IsOpen());

  // Nothing more goes out on the closed line.
  line.Calls.clear();
  EXPECT_THROW(LostIn(protocol), Exception);
  EXPECT_EQ(line.Kinds(), "");
}
