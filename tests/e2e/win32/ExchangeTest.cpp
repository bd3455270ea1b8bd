// The serial line and the protocol through Wine's comm device calls,
// against the simulated instrument on the Linux side of a COM port that Wine
// maps to its pseudo-terminal. scripts/windows/test.sh starts the simulator,
// names the port in MARROWLINK_SIM_PORT and preloads the modem lines.
#include "base/Exception.h"
#include "platform/CommDevice.h"
#include "platform/SystemError.h"
#include "platform/TickCounter.h"
#include "serial/K4410RProtocol.h"
#include "serial/SerialCommunicationPort.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

std::string SimPort() {
  const char* port = std::getenv("MARROWLINK_SIM_PORT");
  return port ? port : "";
}

std::string SimDevicePath() {
  return "\\\\.\\" + SimPort();
}

// Collects bytes until a whole line has come or timeoutMs has passed.
std::string ReadLine(TSerialCommunicationPort& port, std::uint32_t timeoutMs) {
  std::string answer;
  const std::uint32_t start = platform::GetTickCount();
  while (!answer.ends_with("\r\n") && platform::GetTickCount() - start < timeoutMs) {
    answer += port.ReadAvailable();
    platform::Sleep(10);
  }
  return answer;
}

// Wine fails a SetCommState whose settings read back unchanged, and a
// pseudo-terminal silently drops the parity bit, so every even-parity open
// after the first would look like no change. Leaving the line without
// parity in between makes each open a change again. An answer to an earlier
// test's request that nobody read goes too.
void LeaveLineWithoutParity() {
  const platform::Handle handle = platform::OpenCommDevice(SimDevicePath());
  ASSERT_NE(handle, platform::InvalidHandle);
  platform::Dcb dcb{};
  dcb.DCBlength = sizeof dcb;
  dcb.BaudRate = 9600;
  dcb.Flags = platform::DcbFlag::Binary;
  dcb.ByteSize = 8;
  dcb.Parity = platform::NoParity;
  dcb.StopBits = platform::OneStopBit;
  EXPECT_TRUE(platform::SetCommState(handle, dcb));
  EXPECT_TRUE(platform::PurgeComm(handle, platform::PurgeRxClear));
  EXPECT_TRUE(platform::CloseHandle(handle));
}

class WineComPort : public testing::Test {
protected:
  void SetUp() override {
    ASSERT_FALSE(SimPort().empty())
        << "MARROWLINK_SIM_PORT names no port; scripts/windows/test.sh sets it";
    LeaveLineWithoutParity();
  }
};

} // namespace

TEST_F(WineComPort, LineFormatAppliesAndCommandsAreAnswered) {
  TSerialCommunicationPort port(SimDevicePath());
  port.SetBaudRate(9600);
  port.Open();
  ASSERT_TRUE(port.IsOpen());

  const std::uint32_t start = platform::GetTickCount();
  EXPECT_EQ(port.ReadAvailable(), "");
  EXPECT_LT(platform::GetTickCount() - start, 200U) << "an empty queue must not wait";

  port.Write("p.v\r\n");
  EXPECT_EQ(ReadLine(port, 3000), "p.v 23.5\r\n");
  port.Write("F0\r\n");
  EXPECT_EQ(ReadLine(port, 3000), "F0 FF FE 00 00 2E 09 F6 FF\r\n");

  port.Close();
  EXPECT_FALSE(port.IsOpen());
  port.Close();
}

// The drain after a write, and the purge before a close, through the real
// calls: the write has left once the drain returns true.
TEST_F(WineComPort, TheDrainReturnsOnceTheRequestHasLeft) {
  TSerialCommunicationPort port(SimDevicePath());
  port.SetBaudRate(9600);
  port.Open();
  port.Write("p.v\r\n");
  port.Drain(5);
  EXPECT_TRUE(port.IsOpen()) << "a drain that works loses nothing";
  EXPECT_EQ(ReadLine(port, 3000), "p.v 23.5\r\n");
  port.Close();

  const platform::Handle raw = platform::OpenCommDevice(SimDevicePath());
  ASSERT_NE(raw, platform::InvalidHandle);
  std::uint32_t written = 0;
  ASSERT_TRUE(platform::WriteFile(raw, "s.p\r\n", 5, &written));
  EXPECT_TRUE(platform::FlushFileBuffers(raw, 3000)) << platform::GetLastError();
  EXPECT_TRUE(platform::PurgeComm(raw, platform::PurgeTxAbort | platform::PurgeTxClear));
  EXPECT_TRUE(platform::CloseHandle(raw));
}

TEST_F(WineComPort, AnAbsentPortIsNotAvailable) {
  TSerialCommunicationPort port("\\\\.\\COM199");
  try {
    port.Open();
    FAIL() << "COM199 opened";
  } catch (const Exception& error) {
    const std::string message = error.what();
    EXPECT_TRUE(message.starts_with("\\\\.\\COM199 is not available\r\n")) << message;
    EXPECT_TRUE(message.ends_with(": the device is not connected")) << message;
  }
  EXPECT_FALSE(port.IsOpen());
}

// Whole exchanges, RTS keyed around each request: a pseudo-terminal has no
// modem lines, and they answer only through the library that
// scripts/windows/test.sh preloads into Wine (without it, error 50). At the
// line end the answer is read as it arrives, through the read that waits
// for its first byte under time-outs of its own.
TEST_F(WineComPort, TheProtocolExchangesWithTheSimulator) {
  TK4410RProtocol protocol(SimDevicePath(), 9600);
  for (const TAnswerEnd end : {TAnswerEnd::Wait, TAnswerEnd::Line}) {
    protocol.AnswerEnd = end;
    protocol.Request = "p.v";
    protocol.Transact();
    EXPECT_EQ(protocol.Answer, "p.v 23.5\r\n");
    protocol.Request = "s.p";
    protocol.Transact();
    EXPECT_EQ(protocol.Answer, "s.p 25.0\r\n");
  }
}
