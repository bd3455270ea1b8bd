// The window against a simulated instrument that vanishes under Cycle, as
// an unplugged adapter does: one message, the port closed, nothing sent
// after; plugged back in, the port opens again with Open.
#include "tests/support/SimProcess.h"
#include "tests/support/TempDir.h"
#include "tests/ui/MonitorRig.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/DropDownComboBox.h"
#include "ui/TestUnit.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <fstream>

TEST(Unplug, TheInstrumentVanishingUnderCycleClosesThePortWithOneMessage) {
  ScopedConfigHome home;
  ErrorRecorder errors;
  const std::filesystem::path wire = home.Path() / "wire";
  auto sim = std::make_unique<SimProcess>(
      std::vector<std::string>{"--steady", "--hangup-after", "3", "--record", wire.string()});
  const std::string port = sim->PortName();
  const std::string device = sim->DevicePath();
  TForm1 form;
  ASSERT_TRUE(form.RefreshPorts(port));
  QTest::mouseClick(form.SpeedButton1, Qt::LeftButton);
  ASSERT_TRUE(form.Line.IsOpen());
  form.MessageComboBox->setEditText("p.v");
  QTest::mouseClick(form.CycleCheckBox, Qt::LeftButton);

  ASSERT_TRUE(WaitUntil([&] { return !form.Line.IsOpen(); }, 10000)) << "the port stayed open";
  ASSERT_TRUE(sim->WaitForExit(3000));
  EXPECT_EQ(ReadFile(wire), "p.v\r\np.v\r\np.v\r\n");
  const std::string log = LogText(form);
  EXPECT_TRUE(log.starts_with("1. p.v 23.5\n")) << log;
  EXPECT_EQ(log.rfind("p.v 23.5"), log.find("3. p.v 23.5") + 3) << "two answers, then nothing";
  EXPECT_EQ(log.find("(no answer)"), std::string::npos) << log;

  // The adapter back at once, under the same name: the window leaves it
  // alone, and says nothing more, until the operator opens the port.
  const std::filesystem::path again = home.Path() / "again";
  sim = std::make_unique<SimProcess>(
      std::vector<std::string>{"--steady", "--port", port.substr(3), "--record", again.string()});
  ASSERT_EQ(sim->PortName(), port);
  QTest::qWait(2500);
  EXPECT_EQ(ReadFile(again), "");
  ASSERT_EQ(errors.Messages.size(), 1u);
  EXPECT_EQ(errors.Messages[0], device + " is not available\r\n"
                                         "Input/output error: the device is not connected");
  EXPECT_FALSE(form.SpeedButton1->isChecked());
  EXPECT_FALSE(form.TestButton->isEnabled());
  EXPECT_FALSE(form.CycleCheckBox->isEnabled());
  EXPECT_FALSE(form.CycleCheckBox->isChecked());
  EXPECT_TRUE(form.PortComboBox->isEnabled());

  ASSERT_TRUE(form.RefreshPorts(port));
  QTest::mouseClick(form.SpeedButton1, Qt::LeftButton);
  ASSERT_TRUE(form.Line.IsOpen());
  QTest::mouseClick(form.TestButton, Qt::LeftButton);
  EXPECT_EQ(ReadFile(again), "p.v\r\n");
  EXPECT_EQ(errors.Messages.size(), 1u);
}

// Everything that sends at once, file playback and both monitors, when the
// adapter goes: each stops, and the operator sees one message, not one per
// tick or line.
TEST(Unplug, PlaybackAndBothMonitorsStopWithOneMessage) {
  ScopedConfigHome home;
  SimProcess sim({"--steady", "--hangup-after", "6"});
  TMonitorRig rig;
  TForm1& form = *rig.Form1;
  rig.Panel->AddPanel();
  for (QLineEdit* edit : rig.Panel->Editors)
    edit->setText("p.v");
  ASSERT_TRUE(form.RefreshPorts(sim.PortName()));
  QTest::mouseClick(form.SpeedButton1, Qt::LeftButton);
  ASSERT_TRUE(form.Line.IsOpen());
  rig.Panel->show();
  rig.Values->show();
  const std::filesystem::path file = home.Path() / "commands.txt";
  std::ofstream lines(file);
  for (int i = 0; i < 50; ++i)
    lines << "s.p\n";
  lines.close();
  ChooseFileWhenAsked(form, file);
  QTest::mouseClick(form.Button1, Qt::LeftButton);
  ASSERT_TRUE(form.Playback.Playing() || !form.Line.IsOpen());

  ASSERT_TRUE(WaitUntil([&] { return !form.Line.IsOpen(); }, 15000)) << "the port stayed open";
  QTest::qWait(2500);
  ASSERT_EQ(rig.Errors.size(), 1u);
  EXPECT_TRUE(rig.Errors[0].ends_with(": the device is not connected")) << rig.Errors[0];
  EXPECT_FALSE(form.Playback.Playing());
  EXPECT_FALSE(form.CycleTimer.isActive());
  EXPECT_FALSE(rig.Values->isVisible());
  EXPECT_FALSE(form.SpeedButton1->isChecked());
  EXPECT_FALSE(form.TestButton->isEnabled());
}
