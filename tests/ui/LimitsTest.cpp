#include "MonitorRig.h"
#include "platform/Registry.h"
#include "settings/LimitsDatabase.h"
#include "tests/support/SettingsTestSupport.h"
#include "tests/support/SimProcess.h"
#include "tests/support/TempDir.h"
#include "ui/ColorValue.h"
#include "ui/K4410R_Monitor.h"
#include "ui/LimitsDialog.h"
#include "ui/MonitorPanel.h"
#include "ui/QtColor.h"
#include "ui/Trend.h"
#include "ui/TrendPlot.h"
#include "ui/TrendWindow.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QContextMenuEvent>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>

namespace {

const std::string LimitsKey = "HKEY_CURRENT_USER\\Software\\Tavrin\\Private\\Marrowlink\\Limits";

// The limit lines of the test's session files, from the kind on.
std::vector<std::string> LimitLines(const ScopedConfigHome& home) {
  std::vector<std::filesystem::path> files;
  for (const auto& entry : std::filesystem::directory_iterator(home.DataDir() / "sessions"))
    files.push_back(entry.path());
  std::sort(files.begin(), files.end());
  std::vector<std::string> lines;
  for (const auto& file : files) {
    std::istringstream text(ReadWholeFile(file));
    for (std::string line; std::getline(text, line);)
      if (const auto at = line.find("\tlimit\t"); at != std::string::npos)
        lines.push_back(line.substr(at + 1));
  }
  return lines;
}

void ClickOk(TLimitsDialog& dialog) {
  dialog.Buttons->button(QDialogButtonBox::Ok)->click();
}

// The limit lines a trend draws.
int LimitsDrawn(const TTrendWindow& trend) {
  int count = 0;
  for (std::size_t i = 0; i < trend.View->Lines(); ++i)
    count +=
        int(trend.View->LineOf(i).Low.has_value()) + int(trend.View->LineOf(i).High.has_value());
  return count;
}

} // namespace

// The limits are set through the panel's menu; the instrument's answers
// then bring the alarm and take it away.
TEST(PanelLimits, TheAlarmLookFollowsThePolls) {
  ScopedConfigHome home;
  SimProcess sim({"--steady"});
  TMonitorRig rig;
  TK4410R_MonitorForm& monitor = *rig.Panel;
  TMonitorPanel& panel = *monitor.Panel1;
  monitor.Edit1->setText("s.p");
  rig.Form1->Line.Open(sim.PortName(), sim.DevicePath(), false);

  QContextMenuEvent click(QContextMenuEvent::Mouse, QPoint(5, 5), panel.mapToGlobal(QPoint(5, 5)));
  QApplication::sendEvent(&panel, &click);
  ASSERT_NE(monitor.PanelMenu, nullptr);
  QStringList items;
  for (const QAction* action : monitor.PanelMenu->actions())
    items << action->text();
  EXPECT_EQ(items, QStringList({"Limits...", "Trend...", "", "Record Readings...", "Stop Recording",
                                "Trend of All Panels..."}));
  monitor.PanelMenu->hide();
  QTimer::singleShot(0, [&] {
    monitor.LimitsDialog->HighEdit->setText("24");
    ClickOk(*monitor.LimitsDialog);
  });
  monitor.LimitsAction->trigger();
  EXPECT_EQ(panel.Look(), TLook::Normal) << "nothing read yet";

  monitor.PollPanels();
  ASSERT_EQ(panel.Caption(), "25.0");
  EXPECT_EQ(panel.Look(), TLook::Alarm);
  EXPECT_TRUE(panel.autoFillBackground());
  EXPECT_EQ(panel.palette().color(QPalette::WindowText), QColor(Qt::white));
  EXPECT_EQ(panel.palette().color(QPalette::Window), QColor(0xD0, 0, 0));
  EXPECT_EQ(panel.Color(), WindowTextColor) << "the operator's colour stays";

  monitor.Edit1->setText("x");
  monitor.PollPanels();
  EXPECT_EQ(panel.Look(), TLook::NoNumber);
  EXPECT_EQ(panel.palette().color(QPalette::WindowText), QColorOfValue(WindowTextColor));

  monitor.Edit1->setText("p.v");
  monitor.PollPanels();
  EXPECT_EQ(panel.Look(), TLook::Normal);
  EXPECT_FALSE(panel.autoFillBackground());
  EXPECT_EQ(LimitLines(home), (std::vector<std::string>{"limit\ts.p\t25.0\t24\tabove",
                                                        "limit\tp.v\t23.5\t24\tinside"}));

  // Saved with the main window's settings, in the program's order of the end.
  const std::vector<std::string> errors = rig.Errors;
  rig.Shutdown();
  EXPECT_EQ(TLimitsDatabase().GetString("Panel0 High"), "24");
  EXPECT_TRUE(errors.empty()) << errors.front();
}

// Refused texts leave the dialog open as typed and nothing changed; a
// value of the wrong type stays in the file as it was.
TEST(PanelLimits, TheDialogRefusesWhatGivesNoBand) {
  ScopedConfigHome home;
  const auto file = home.AppDir() / "user.reg";
  WriteWholeFile(file,
                 "REGEDIT4\r\n\r\n[" + LimitsKey + "]\r\n\"Panel0 Hysteresis\"=dword:00000001\r\n");
  TMonitorRig rig;
  TK4410R_MonitorForm& monitor = *rig.Panel;
  std::vector<bool> open;
  TLimitTexts shown;
  QTimer::singleShot(0, [&] {
    TLimitsDialog& dialog = *monitor.LimitsDialog;
    dialog.LowEdit->setText("abc");
    dialog.HighEdit->setText("20");
    dialog.BeepCheckBox->setChecked(true);
    ClickOk(dialog);
    open.push_back(dialog.isVisible());
    dialog.LowEdit->setText("30");
    ClickOk(dialog);
    open.push_back(dialog.isVisible());
    shown = dialog.Texts();
    dialog.reject();
  });
  monitor.EditLimits(0);
  EXPECT_EQ(rig.Errors,
            (std::vector<std::string>{"Low: \"abc\" is not a number", "Low 30 is above High 20"}));
  EXPECT_EQ(open, (std::vector<bool>{true, true}));
  EXPECT_EQ(shown, (TLimitTexts{"30", "20", ""}));
  EXPECT_EQ(monitor.Watches[0].Texts(), TLimitTexts{});
  EXPECT_FALSE(monitor.Beep);

  rig.Shutdown();
  const auto hive = ParseHiveFile(file);
  const auto* limits = hive.FindKey(LimitsKey);
  ASSERT_NE(limits, nullptr);
  const auto* damaged = platform::posix::RegistryHive::FindValue(*limits, "Panel0 Hysteresis");
  ASSERT_NE(damaged, nullptr);
  EXPECT_EQ(damaged->Type, platform::RegDword);
  EXPECT_EQ(damaged->Data, std::string("\1\0\0\0", 4));
  EXPECT_NE(hive.FindKey("HKEY_CURRENT_USER\\Software\\Tavrin\\Private\\Marrowlink"), nullptr)
      << "the main key is saved as ever";
}

// A removed panel's limits go with it: the trend still open drops them, and
// the panel added in its place starts without.
TEST(PanelLimits, ARemovedPanelsLimitsLeaveItsTrend) {
  ScopedConfigHome home;
  TMonitorRig rig;
  TK4410R_MonitorForm& monitor = *rig.Panel;
  monitor.AddPanel();
  QTimer::singleShot(0, [&] {
    monitor.LimitsDialog->HighEdit->setText("24");
    ClickOk(*monitor.LimitsDialog);
  });
  monitor.EditLimits(1);
  monitor.OpenTrend({1});
  ASSERT_EQ(monitor.Trends->Windows().size(), 1u);
  auto* trend = static_cast<TTrendWindow*>(monitor.Trends->Windows().front());
  EXPECT_EQ(LimitsDrawn(*trend), 1) << "the high limit's line";

  monitor.RemovePanel();
  EXPECT_EQ(LimitsDrawn(*trend), 0);
  monitor.AddPanel();
  delete trend;
  monitor.OpenTrend({1});
  ASSERT_EQ(monitor.Trends->Windows().size(), 1u);
  EXPECT_EQ(LimitsDrawn(*static_cast<TTrendWindow*>(monitor.Trends->Windows().front())), 0);
  EXPECT_TRUE(rig.Errors.empty()) << rig.Errors.front();
}
