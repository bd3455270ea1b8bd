#include "serial/SerialPortList.h"

#include "base/Exception.h"
#include "tests/support/FakeDeviceTree.h"

#include <gtest/gtest.h>

namespace {

std::vector<std::string> Texts(TSerialPortList& list) {
  TPortStrings strings{{"stale", nullptr}};
  list.FillStrings(strings);
  std::vector<std::string> texts;
  for (const TPortStringsEntry& entry : strings) {
    EXPECT_EQ(entry.Text, entry.Port->DisplayName());
    texts.push_back(entry.Text);
  }
  return texts;
}

using Texts_ = std::vector<std::string>;

} // namespace

TEST(SerialPortListTest, ListsPortsInNumericOrderWithDescriptions) {
  TFakeDeviceTree tree;
  tree.AddUart("ttyS0", 4);
  tree.AddUsbDevice("ttyUSB0", {"FT232R USB UART", "", ""});
  tree.AddLink("com1", tree.Node("ttyS0"));
  tree.AddLink("com10", tree.Node("ttyUSB0"));
  tree.AddLink("com12", tree.AddPlainNode("pts-12"));
  tree.AddLink("com2", tree.AddPlainNode("pts-2"));
  tree.AddLink("comx", tree.AddPlainNode("pts-x"));
  tree.AddLink("com3", tree.AddPlainNode("pts-3"));
  tree.AddLink("COM03", tree.Node("pts-3"));

  TSerialPortList list;
  EXPECT_EQ(Texts(list), (Texts_{"Communications Port (COM1)", "COM2", "COM3", "COM3",
                                 "FT232R USB UART (COM10)", "COM12"}));
  ASSERT_EQ(list.Count(), 6U);
  EXPECT_NE(&list[2], &list[3]);
  EXPECT_EQ(list[5].DevicePath(), "\\\\.\\COM12");
}

TEST(SerialPortListTest, RefreshKeepsPresentPortsAndUpdatesThem) {
  TFakeDeviceTree tree;
  for (const char* tty : {"ttyUSB1", "ttyUSB2", "ttyUSB3"})
    tree.AddUsbDevice(tty, {std::string("Product ") + tty, "", ""});
  tree.AddLink("com1", tree.Node("ttyUSB1"));
  tree.AddLink("com2", tree.Node("ttyUSB2"));
  tree.AddLink("com3", tree.Node("ttyUSB3"));
  TSerialPortList list;
  TPortStrings before;
  list.FillStrings(before);
  ASSERT_EQ(before.size(), 3U);

  tree.Unplug("ttyUSB2");
  tree.SetProduct("ttyUSB3", "Renamed");
  tree.AddLink("com4", tree.AddPlainNode("pts-4"));
  TPortStrings after;
  list.FillStrings(after);

  ASSERT_EQ(after.size(), 3U);
  EXPECT_EQ(after[0].Port, before[0].Port);
  EXPECT_EQ(after[1].Port, before[2].Port);
  EXPECT_EQ(after[1].Text, "Renamed (COM3)");
  EXPECT_EQ(after[2].Text, "COM4");
  // The entry handed out before still holds its port, now dropped by the list.
  EXPECT_EQ(before[1].Port.use_count(), 1);
  EXPECT_EQ(before[1].Port->Name, "COM2");
  EXPECT_EQ(before[2].Port->Description, "Renamed");
}

TEST(SerialPortListTest, FailedDescriptionPassLeavesOnlyRedirectedDescriptions) {
  TFakeDeviceTree tree;
  tree.AddUsbDevice("ttyUSB0", {"FT232R USB UART", "", ""});
  tree.AddLink("com1", tree.Node("ttyUSB0"));
  const std::string redirected = "\\Device\\RdpDrPort\\;COM1:1\\tsclient\\COM1";
  tree.AddDosFile(redirected);
  tree.AddLink("com5", redirected);
  TSerialPortList list;
  EXPECT_EQ(Texts(list),
            (Texts_{"FT232R USB UART (COM1)", "Terminal Services Redirected COM1 (COM5)"}));

  // A device no COM name leads to has no friendly name: the whole pass fails.
  tree.AddUsbDevice("ttyUSB1", {"Other", "", ""});
  tree.AddLink("aux", tree.Node("ttyUSB1"));
  EXPECT_EQ(Texts(list), (Texts_{"COM1", "Terminal Services Redirected COM1 (COM5)"}));
}

TEST(SerialPortListTest, FindByNameChecksTheNameBeforeRefreshing) {
  TFakeDeviceTree tree;
  tree.AddUsbDevice("ttyUSB0", {"Adapter", "", ""});
  TSerialPortList list;
  EXPECT_THROW(list.FindByName(""), Exception);
  EXPECT_THROW(list.FindByName("com1"), Exception);
  EXPECT_EQ(list.Count(), 0U);
  EXPECT_TRUE(tree.LinkNames().empty());

  tree.AddLink("com31", tree.AddPlainNode("pts-31"));
  EXPECT_EQ(list.FindByName("COM99"), nullptr);
  const std::shared_ptr<TSerialPort> found = list.FindByName("COM$1F");
  ASSERT_NE(found, nullptr);
  EXPECT_EQ(found->Number, 31);
  EXPECT_EQ(list.FindByName("COM1")->DisplayName(), "Adapter (COM1)");
  EXPECT_EQ(list.FindByName("COM31"), found);
}
