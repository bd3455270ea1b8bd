#include "ui/VM806D_LX_Monitor.h"

#include "MonitorRig.h"
#include "base/Exception.h"
#include "tests/support/SimProcess.h"
#include "tests/support/TempDir.h"
#include "ui/ReadingsRecorder.h"

#include <QCheckBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

namespace {

std::string FileText(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

std::string Log(const TForm1& form) {
  return form.OutputRichEdit->toPlainText().toLatin1().toStdString();
}

} // namespace

TEST(ValueMonitor, DesignedLook) {
  ScopedConfigHome home;
  TMonitorRig rig;
  TTestVM806D_LX_MonitorForm& monitor = *rig.Values;
  EXPECT_EQ(monitor.windowTitle(), "TestVM806D_LX_MonitorForm");
  EXPECT_EQ(monitor.size(), QSize(362, 218));
  EXPECT_EQ(monitor.Label1->text(), "Label1");
  EXPECT_EQ(monitor.Label2->text(), "Label2");
  EXPECT_EQ(monitor.Label1->palette().color(QPalette::WindowText), QColor(0, 0x80, 0));
  EXPECT_EQ(monitor.Label2->palette().color(QPalette::WindowText), QColor(0xFF, 0, 0));
  EXPECT_EQ(monitor.Label2->geometry(), QRect(8, 112, 345, 97));
  EXPECT_EQ(monitor.Bevel2->geometry(), monitor.Label2->geometry());
  EXPECT_EQ(monitor.Label1->font().pixelSize(), 85);
  EXPECT_TRUE(monitor.Label1->font().bold());
  EXPECT_FALSE(monitor.isVisible());
  EXPECT_FALSE(monitor.Timer->isActive());
}

TEST(ValueMonitor, RefusesToCloseAndFollowsItsCheckBox) {
  ScopedConfigHome home;
  TMonitorRig rig;
  TTestVM806D_LX_MonitorForm& monitor = *rig.Values;
  monitor.show();
  EXPECT_TRUE(monitor.Timer->isActive());
  EXPECT_TRUE(rig.Form1->ValueMonitorCheckBox->isChecked());
  EXPECT_FALSE(monitor.close());
  EXPECT_TRUE(monitor.isVisible());
  monitor.hide();
  EXPECT_FALSE(monitor.Timer->isActive());
  EXPECT_FALSE(rig.Form1->ValueMonitorCheckBox->isChecked());
  // Without a port the poll does nothing.
  monitor.Poll();
  EXPECT_EQ(monitor.Label1->text(), "Label1");
  EXPECT_TRUE(Log(*rig.Form1).empty());
}

TEST(ValueMonitor, BadByteKeepsTheLabelsNotYetSet) {
  ScopedConfigHome home;
  TMonitorRig rig;
  TTestVM806D_LX_MonitorForm& monitor = *rig.Values;
  monitor.ShowAnswer("FF FE 00 00 2E 09 F6 FF");
  EXPECT_THROW(monitor.ShowAnswer("FF FE 00 00 10 00 Q1 00"), Exception);
  EXPECT_EQ(monitor.Label1->text(), "0.16");
  EXPECT_EQ(monitor.Label2->text(), "-10");
  try {
    monitor.ShowAnswer("FF FE 00 00 10 x0 01 00");
    ADD_FAILURE() << "no error";
  } catch (const Exception& e) {
    EXPECT_STREQ(e.what(), "'$FFFFx010' is not a valid integer value");
  }
  EXPECT_EQ(monitor.Label1->text(), "0.16");
  EXPECT_EQ(monitor.Label2->text(), "-10");
  monitor.ShowAnswer("FF FE 00 00 2E 09");
  EXPECT_TRUE(monitor.Label1->text().isEmpty());
  EXPECT_TRUE(monitor.Label2->text().isEmpty());
}

TEST(ValueMonitor, PollAgainstTheInstrument) {
  ScopedConfigHome home;
  TempDir dir;
  const auto record = dir.Path() / "wire";
  SimProcess sim({"--steady", "--record", record.string()});
  TMonitorRig rig;
  TTestVM806D_LX_MonitorForm& monitor = *rig.Values;
  rig.Form1->Line.Open(sim.PortName(), sim.DevicePath(), false);
  const auto readings = dir.Path() / "values.csv";
  monitor.Readings->Start(readings.string(), {"first", "second"});

  monitor.show();
  ASSERT_TRUE(QTest::qWaitFor([&] { return monitor.Label1->text() != "Label1"; }, 3000));
  EXPECT_EQ(monitor.Label1->text(), "23.5");
  EXPECT_EQ(monitor.Label2->text(), "-10");
  EXPECT_EQ(FileText(record).substr(0, 4), "F0\r\n");
  // Its own exchange is in the session record, and its values in the CSV.
  const std::string row = FileText(readings);
  EXPECT_EQ(row.substr(0, 19), "time,first,second\r\n");
  EXPECT_EQ(row.substr(row.size() - 11), ",23.5,-10\r\n") << row;
  std::string session;
  for (const auto& entry : std::filesystem::directory_iterator(home.DataDir() / "sessions"))
    session += FileText(entry.path());
  EXPECT_NE(session.find("\texchange\tF0\tF0 FF FE 00 00 2E 09 F6 FF"), std::string::npos)
      << session;
  // The raw answer, unnumbered.
  EXPECT_EQ(Log(*rig.Form1).substr(0, 27), "F0 FF FE 00 00 2E 09 F6 FF\n");

  // Closing the port hides the monitor and unchecks its box.
  rig.Form1->ClosePort();
  EXPECT_FALSE(monitor.isVisible());
  EXPECT_FALSE(monitor.Timer->isActive());
  EXPECT_FALSE(rig.Form1->ValueMonitorCheckBox->isChecked());
  EXPECT_TRUE(rig.Errors.empty()) << rig.Errors.front();
}
