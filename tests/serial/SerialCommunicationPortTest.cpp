#include "serial/SerialCommunicationPort.h"
#include "base/Exception.h"
#include "serial/K4410RProtocol.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <grp.h>
#include <sys/wait.h>
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

// The message of opening path from a child process running as a user without
// rights to it: nobody when the tests run as root, who may open anything.
std::string OpenMessageAsUnprivilegedUser(const std::string& path) {
  int fds[2];
  if (::pipe(fds) != 0)
    return "(no pipe)";
  const pid_t child = ::fork();
  if (child == 0) {
    ::close(fds[0]);
    constexpr uid_t nobody = 65534;
    if (::geteuid() == 0 &&
        (::setgroups(0, nullptr) != 0 || ::setgid(nobody) != 0 || ::setuid(nobody) != 0))
      ::_exit(2);
    TSerialCommunicationPort port(path);
    const std::string message = MessageOf([&] { port.Open(); });
    const bool written =
        ::write(fds[1], message.data(), message.size()) == static_cast<ssize_t>(message.size());
    ::_exit(written ? 0 : 3);
  }
  ::close(fds[1]);
  std::string message;
  char buffer[256];
  ssize_t n = 0;
  while ((n = ::read(fds[0], buffer, sizeof buffer)) > 0)
    message.append(buffer, static_cast<std::size_t>(n));
  ::close(fds[0]);
  int status = -1;
  ::waitpid(child, &status, 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  return message;
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

  const std::string notConnected = "No such file or directory: the device is not connected";
  const std::pair<std::string, std::string> cases[] = {
      {missing.string(), notConnected},
      {plain.string(), "Inappropriate ioctl for device: it is not a serial device"},
      {"\\\\.\\COM9", notConnected},
      {"\\\\.\\COM8", notConnected},
      {"\\\\.\\..", "Is a directory"}};
  for (const auto& [path, reason] : cases) {
    TSerialCommunicationPort port(path);
    EXPECT_EQ(MessageOf([&] { port.Open(); }), path + " is not available\r\n" + reason);
    EXPECT_FALSE(port.IsOpen()) << path;
  }
  EXPECT_FALSE(std::filesystem::exists(missing));
  EXPECT_FALSE(std::filesystem::exists(home.Path() / "gone"));
  std::string content;
  std::getline(std::ifstream(plain), content);
  EXPECT_EQ(content, "keep me");
}

TEST(SerialCommunicationPort, ADeviceTheUserMayNotOpenNamesTheDialoutGroup) {
  PtyPeer peer;
  std::filesystem::permissions(peer.SlavePath, std::filesystem::perms::none);
  EXPECT_EQ(OpenMessageAsUnprivilegedUser(peer.SlavePath),
            peer.SlavePath +
                " is not available\r\nPermission denied: the user must be in the dialout group");
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

  // Nothing queued: nothing read, and no wait for it (a wait would hold
  // the test until the suite's time-out).
  EXPECT_EQ(port.ReadAvailable(), "");

  // The device is held exclusively, also against this very program.
  TSerialCommunicationPort second("\\\\.\\com4");
  EXPECT_EQ(MessageOf([&] { second.Open(); }),
            "\\\\.\\com4 is not available\r\n"
            "Device or resource busy: another program holds the port");

  port.Close();
  port.Close();
  second.Open();
  EXPECT_TRUE(second.IsOpen());
}

TEST(SerialCommunicationPort, AnUnsupportedRateCannotInitAndReleasesTheLine) {
  PtyPeer peer;
  const std::string message = MessageOf([&] { TK4410RProtocol refused(peer.SlavePath, 12345); });
  EXPECT_TRUE(message.starts_with("Cannot init " + peer.SlavePath + ".\r\n")) << message;
  // The line opened before its setup failed; were it still held, this would
  // find the port busy.
  TK4410RProtocol protocol(peer.SlavePath, 9600);
  EXPECT_TRUE(protocol.Port->IsOpen());
}
