#include "serial/SerialCommunicationPort.h"
#include "base/Exception.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <unistd.h>

namespace {

// The instrument's end of a pseudo-terminal, held by the test itself.
class PtyPeer {
public:
  PtyPeer() {
    Master = ::posix_openpt(O_RDWR | O_NOCTTY);
    EXPECT_GE(Master, 0);
    ::grantpt(Master);
    ::unlockpt(Master);
    SlavePath = ::ptsname(Master);
  }
  ~PtyPeer() { ::close(Master); }
  PtyPeer(const PtyPeer&) = delete;
  PtyPeer& operator=(const PtyPeer&) = delete;

  int Master = -1;
  std::string SlavePath;
};

std::string MessageOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const Exception& error) {
    return error.what();
  }
  return "(no exception)";
}

} // namespace

TEST(SerialCommunicationPort, StartsClosedWithTheFixedLineFormat) {
  TSerialCommunicationPort port("\\\\.\\COM3");
  EXPECT_FALSE(port.IsOpen());
  EXPECT_EQ(port.PortPath(), "\\\\.\\COM3");
  const platform::Dcb& dcb = port.LineSettings();
  EXPECT_EQ(dcb.DCBlength, 28U);
  EXPECT_EQ(dcb.BaudRate, 4800U);
  EXPECT_EQ(dcb.Flags, 3U);
  EXPECT_EQ(dcb.ByteSize, 8);
  EXPECT_EQ(dcb.Parity, 2);
  EXPECT_EQ(dcb.StopBits, 0);
  EXPECT_EQ(dcb.XonLim + dcb.XoffLim + dcb.XonChar + dcb.XoffChar + dcb.EvtChar, 0);
  const platform::CommTimeouts& t = port.Timeouts();
  EXPECT_EQ(t.ReadIntervalTimeout, 0xFFFFFFFFU);
  EXPECT_EQ(t.ReadTotalTimeoutMultiplier, 0xFFFFFFFFU);
  EXPECT_EQ(t.ReadTotalTimeoutConstant, 1000U);
  EXPECT_EQ(t.WriteTotalTimeoutMultiplier + t.WriteTotalTimeoutConstant, 0U);
}

TEST(SerialCommunicationPort, ClosedLineRefusesModemLinesAndAllowsRateChanges) {
  TSerialCommunicationPort port("/nonexistent");
  EXPECT_EQ(MessageOf([&] { port.SetRTS(true); }),
            "Could not perform this operation on a closed port");
  EXPECT_EQ(MessageOf([&] { port.SetDTR(false); }),
            "Could not perform this operation on a closed port");
  port.SetBaudRate(9600);
  EXPECT_EQ(port.LineSettings().BaudRate, 9600U);
  port.Write("ignored on a closed line");
  port.Close();
  port.Close();
  EXPECT_FALSE(port.IsOpen());
}

TEST(SerialCommunicationPort, PathsThatNameNoDeviceAreNotAvailableAndNeverCreated) {
  ScopedConfigHome home;
  const std::filesystem::path missing = home.Path() / "no-such-device";
  const std::filesystem::path plain = home.Path() / "plain-file";
  std::ofstream(plain) << "keep me";
  std::filesystem::create_directories(home.AppDir() / "dosdevices");
  std::filesystem::create_symlink(home.Path() / "gone", home.AppDir() / "dosdevices" / "com9");

  for (const std::string& path : {missing.string(), plain.string(), std::string("\\\\.\\COM9"),
                                  std::string("\\\\.\\COM8"), std::string("\\\\.\\..")}) {
    TSerialCommunicationPort port(path);
    EXPECT_EQ(MessageOf([&] { port.Open(); }), path + " is not available");
    EXPECT_FALSE(port.IsOpen()) << path;
  }
  EXPECT_FALSE(std::filesystem::exists(missing));
  EXPECT_FALSE(std::filesystem::exists(home.Path() / "gone"));
  std::string content;
  std::getline(std::ifstream(plain), content);
  EXPECT_EQ(content, "keep me");
}

TEST(SerialCommunicationPort, OpensOnceThroughItsComLinkAndReadsWithoutWaiting) {
  ScopedConfigHome home;
  PtyPeer peer;
  std::filesystem::create_directories(home.AppDir() / "dosdevices");
  std::filesystem::create_symlink(peer.SlavePath, home.AppDir() / "dosdevices" / "com4");

  TSerialCommunicationPort port("\\\\.\\COM4");
  port.SetBaudRate(9600);
  port.Open();
  ASSERT_TRUE(port.IsOpen());
  EXPECT_EQ(MessageOf([&] { port.SetBaudRate(19200); }),
            "Could not change baud rate on a open port");
  EXPECT_EQ(port.LineSettings().BaudRate, 9600U);
  // A pseudo-terminal has no modem lines: driving them succeeds and does nothing.
  port.SetRTS(true);
  port.SetDTR(true);

  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(port.ReadAvailable(), "");
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(50));

  // The device is held exclusively, also against this very program.
  TSerialCommunicationPort second("\\\\.\\com4");
  EXPECT_EQ(MessageOf([&] { second.Open(); }), "\\\\.\\com4 is not available");

  port.Close();
  port.Close();
  second.Open();
  EXPECT_TRUE(second.IsOpen());
}
