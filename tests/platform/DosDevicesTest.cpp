#include "platform/DosDevices.h"
#include "platform/SystemError.h"
#include "platform/posix/devices/DosDeviceLinks.h"
#include "serial/PortDiscovery.h"
#include "tests/support/FakeDeviceTree.h"

#include <cerrno>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

std::vector<std::string> SplitNames(const std::vector<char>& buffer, std::uint32_t count) {
  std::vector<std::string> names;
  std::string name;
  for (std::uint32_t i = 0; i < count; ++i) {
    if (buffer[i] != '\0') {
      name += buffer[i];
      continue;
    }
    if (name.empty())
      break;
    names.push_back(name);
    name.clear();
  }
  return names;
}

std::vector<std::string> AllNames() {
  std::vector<char> buffer(65535, 'x');
  const std::uint32_t count = platform::QueryDosDeviceA(nullptr, buffer.data(), 65535);
  // Every name ends in a NUL and the list in one more.
  EXPECT_GE(count, 1U);
  if (count >= 2) {
    EXPECT_EQ(buffer[count - 1], '\0');
    EXPECT_EQ(buffer[count - 2], '\0');
  }
  return SplitNames(buffer, count);
}

using Names = std::vector<std::string>;

} // namespace

TEST(DosDevicesTest, ListsLinksWithTargetsUpperCasedAndAnswersSingleNames) {
  TFakeDeviceTree tree;
  tree.AddLink("com7", tree.AddPlainNode("pts-7"));
  tree.AddLink("Aux", tree.AddPlainNode("pts-8"));
  tree.AddLink("com8", tree.Node("gone"));
  EXPECT_EQ(AllNames(), (Names{"AUX", "COM7"}));

  std::vector<char> buffer(64);
  const std::string target = tree.Node("pts-7");
  ASSERT_EQ(platform::QueryDosDeviceA("COM7", buffer.data(), 64), target.size() + 2);
  EXPECT_EQ(std::string(buffer.data()), target);

  EXPECT_EQ(platform::QueryDosDeviceA("COM8", buffer.data(), 64), 0U);
  EXPECT_EQ(platform::GetLastError(), static_cast<std::uint32_t>(ENOENT));
  EXPECT_EQ(platform::QueryDosDeviceA("COM7", buffer.data(), 4), 0U);
  EXPECT_EQ(platform::GetLastError(), platform::ErrorInsufficientBuffer);
  EXPECT_EQ(platform::QueryDosDeviceA(nullptr, buffer.data(), 4), 0U);

  // Discovery grows a buffer that is too small until the answer fits.
  EXPECT_EQ(QueryDosDeviceList(nullptr, 4), std::string("AUX\0COM7\0\0", 10));
  EXPECT_EQ(QueryDosDeviceList("COM7", 1), target + std::string(2, '\0'));
  EXPECT_EQ(QueryDosDeviceList("COM8", 1), "");
}

TEST(DosDevicesTest, NumbersRealSerialDevicesOnceAndSkipsPhantomPorts) {
  TFakeDeviceTree tree;
  tree.AddLink("com1", tree.AddPlainNode("pts-1"));
  tree.AddUart("ttyS0", 4);
  tree.AddUart("ttyS1", 0);
  tree.AddUart("ttyS10", 4);
  tree.AddUart("ttyS2", 4);
  tree.AddUsbDevice("ttyUSB0", {"FT232R USB UART", "", "FTDI"}, "usb-FTDI_FT232R-if00-port0");
  tree.AddUsbDevice("ttyACM0", {"Modem", "", ""});

  EXPECT_EQ(AllNames(), (Names{"COM1", "COM2", "COM3", "COM4", "COM5", "COM6"}));
  EXPECT_EQ(tree.LinkTarget("com2"), tree.Node("ttyACM0"));
  EXPECT_EQ(tree.LinkTarget("com3"), tree.Node("ttyS0"));
  EXPECT_EQ(tree.LinkTarget("com4"), tree.Node("ttyS2"));
  EXPECT_EQ(tree.LinkTarget("com5"), tree.Node("ttyS10"));
  EXPECT_EQ(tree.LinkTarget("com6"), tree.Node("serial/by-id/usb-FTDI_FT232R-if00-port0"));

  // A second scan finds every device named already.
  EXPECT_EQ(AllNames().size(), 6U);
  EXPECT_EQ(tree.LinkNames().size(), 6U);
}

TEST(DosDevicesTest, UnpluggedDeviceKeepsItsNumberAndNewOnesTakeTheLowestFree) {
  TFakeDeviceTree tree;
  tree.AddLink("com1", tree.AddPlainNode("pts-1"));
  tree.AddUsbDevice("ttyUSB0", {"A", "", ""}, "usb-A-if00");
  tree.AddUsbDevice("ttyUSB1", {"B", "", ""}, "usb-B-if00");
  EXPECT_EQ(AllNames(), (Names{"COM1", "COM2", "COM3"}));

  tree.Unplug("ttyUSB0");
  tree.RemoveLink("com1");
  EXPECT_EQ(AllNames(), (Names{"COM3"}));

  // Plugged back in, it comes up under another kernel name but the same
  // stable name, and the newcomer gets COM1, not COM2.
  tree.AddUsbDevice("ttyUSB2", {"A", "", ""}, "usb-A-if00");
  tree.AddUsbDevice("ttyUSB3", {"C", "", ""}, "usb-C-if00");
  EXPECT_EQ(AllNames(), (Names{"COM1", "COM2", "COM3"}));
  EXPECT_EQ(tree.LinkTarget("com1"), tree.Node("serial/by-id/usb-C-if00"));
  EXPECT_EQ(tree.LinkTarget("com2"), tree.Node("serial/by-id/usb-A-if00"));
}

// A link named in upper case is listed as its port, and opening that port
// follows that very link.
TEST(DosDevicesTest, ALinkSpeltInUpperCaseOpensAsListed) {
  TFakeDeviceTree tree;
  const std::string node = tree.AddPlainNode("pts-7");
  tree.AddLink("COM7", node);
  EXPECT_EQ(AllNames(), (Names{"COM7"}));
  for (const char* name : {"\\\\.\\COM7", "\\\\.\\com7"}) {
    const std::string path = platform::posix::ResolveDevicePath(name);
    std::error_code error;
    EXPECT_TRUE(std::filesystem::equivalent(path, node, error)) << name << " -> " << path;
  }
}
