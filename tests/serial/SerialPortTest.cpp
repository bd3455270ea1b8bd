#include "serial/SerialPort.h"

#include "base/Exception.h"
#include "platform/SystemError.h"
#include "serial/MainTools.h"
#include "serial/PortDiscovery.h"

#include <gtest/gtest.h>

TEST(SerialPortTest, NamesAndPaths) {
  const TSerialPort described(3, "USB Serial Port");
  EXPECT_EQ(described.Name, "COM3");
  EXPECT_EQ(described.DisplayName(), "USB Serial Port (COM3)");
  EXPECT_EQ(described.DevicePath(), "\\\\.\\COM3");
  EXPECT_EQ(TSerialPort(12, "").DisplayName(), "COM12");
}

TEST(SerialPortTest, PortNumberFromNameTakesTheSystemsIntegerSyntax) {
  EXPECT_EQ(TSerialPort::PortNumberFromName("COM3"), 3);
  EXPECT_EQ(TSerialPort::PortNumberFromName("COM03"), 3);
  EXPECT_EQ(TSerialPort::PortNumberFromName("COM$1F"), 31);
  EXPECT_EQ(TSerialPort::PortNumberFromName("COM256"), 256);
  for (const char* name : {"", "COM", "com3", "Com3", "COMX", "COM3 ", "LPT1", "COM3:"}) {
    try {
      TSerialPort::PortNumberFromName(name);
      ADD_FAILURE() << name;
    } catch (const Exception& e) {
      EXPECT_EQ(e.what(), "\"" + std::string(name) + "\" is not valid port name");
    }
  }
}

TEST(SerialPortTest, SystemErrorTextShowsTheCodeInFourHexDigits) {
  EXPECT_EQ(SystemErrorText(5), "System Error 0005 - " + platform::FormatSystemMessage(5));
  EXPECT_EQ(SystemErrorText(0x103).substr(0, 20), "System Error 0103 - ");
  EXPECT_EQ(SystemErrorText(0x12345).substr(0, 21), "System Error 12345 - ");
  platform::SetLastError(2);
  try {
    RaiseLastSystemError();
  } catch (const Exception& e) {
    EXPECT_EQ(e.what(), SystemErrorText(2));
  }
}

namespace {

TNameValueList Split(const std::string& friendlyName) {
  TNameValueList list;
  AddFriendlyName(list, friendlyName);
  return list;
}

std::string Entry(const std::string& friendlyName) {
  const TNameValueList list = Split(friendlyName);
  return list.size() == 1 ? list[0].Name + "=" + list[0].Value : "none";
}

} // namespace

TEST(PortDiscoveryTest, FriendlyNameSplitKeepsEverythingBeforeTheLastPortMark) {
  EXPECT_EQ(Entry("USB Serial Port (COM3)"), "3=USB Serial Port");
  EXPECT_EQ(Entry("Port A (COMBINED) (COM5)"), "5=Port A (COMBINED)");
  EXPECT_EQ(Entry("  Padded\t (COM$A) trailing"), "10=Padded");
  EXPECT_EQ(Entry("Modem (COM07)"), "7=Modem");
  EXPECT_EQ(Entry("Bluetooth Link"), "none");
  EXPECT_EQ(Entry("Unclosed (COM4"), "none");
  EXPECT_EQ(Entry("Bad number (COM4a)"), "none");
  EXPECT_EQ(Entry("(COM4)"), "none");
}

TEST(PortDiscoveryTest, RedirectedPortsAreRecognisedByTheirTarget) {
  std::string description = "unchanged";
  EXPECT_FALSE(IsRedirectedPort("/dev/ttyUSB0", description));
  EXPECT_EQ(description, "unchanged");
  EXPECT_TRUE(IsRedirectedPort("\\Device\\RdpDrPort\\;COM1:1\\tsclient\\COM1", description));
  EXPECT_EQ(description, "Terminal Services Redirected COM1");
  EXPECT_TRUE(IsRedirectedPort("\\Device\\RdpDrPort\\;LPT1:1\\tsclient\\LPT1", description));
  EXPECT_EQ(description, "");
}
