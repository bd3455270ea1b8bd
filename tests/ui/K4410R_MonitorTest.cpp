#include "ui/K4410R_Monitor.h"

#include "MonitorRig.h"
#include "settings/DatabaseUnit.h"
#include "tests/support/SimProcess.h"
#include "tests/support/TempDir.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/ColorValue.h"
#include "ui/MonitorPanel.h"
#include "ui/ReadingsRecorder.h"
#include "ui/Trend.h"

#include <QAction>
#include <QCheckBox>
#include <QColorDialog>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <regex>

namespace {

std::string EditText(const QLineEdit& edit) {
  return edit.text().toLatin1().toStdString();
}

std::string FileText(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

std::size_t CountOf(const std::string& text, const std::string& part) {
  std::size_t count = 0;
  for (std::size_t pos = text.find(part); pos != std::string::npos; pos = text.find(part, pos + 1))
    ++count;
  return count;
}

} // namespace

TEST(PanelMonitor, FirstRunShowsTheDesignedPanelAndSavesIt) {
  ScopedConfigHome home;
  TMonitorRig rig;
  TK4410R_MonitorForm& monitor = *rig.Panel;

  ASSERT_EQ(monitor.Panels.size(), 1u);
  EXPECT_EQ(monitor.Panels[0], monitor.Panel1);
  EXPECT_EQ(monitor.Editors[0], monitor.Edit1);
  EXPECT_EQ(EditText(*monitor.Edit1), "p.v");
  EXPECT_TRUE(monitor.Edit1->isHidden());
  // The editor keeps the dialog font inside its panel of bold digits.
  EXPECT_EQ(monitor.Edit1->font().pixelSize(), 11);
  EXPECT_FALSE(monitor.Edit1->font().bold());
  EXPECT_EQ(monitor.Panel1->Color(), WindowTextColor);
  EXPECT_EQ(monitor.Panel1->Caption(), "Panel1");
  EXPECT_EQ(monitor.windowTitle(), "K4410R_MonitorForm");
  EXPECT_EQ(monitor.size(), QSize(314, 170));
  EXPECT_FALSE(monitor.RemoveButton->isEnabled());
  EXPECT_FALSE(monitor.ShowEditCheckBox->isChecked());
  EXPECT_FALSE(monitor.isVisible());
  EXPECT_FALSE(monitor.Timer->isActive());

  rig.DestroyPanelMonitor();
  TDatabase& settings = *rig.Form1->Settings;
  EXPECT_EQ(settings.GetInteger("Monitor Panels"), 1);
  EXPECT_EQ(settings.GetString("Monitor Panel0 Command"), "p.v");
  EXPECT_EQ(settings.GetInteger("Monitor Panel0 Color"), WindowTextColor);
  EXPECT_FALSE(settings.GetBoolean("Monitor Show Editors"));
  EXPECT_TRUE(rig.Errors.empty());
}

TEST(PanelMonitor, AddingAndRemovingPanelsGivesTheHeightBack) {
  ScopedConfigHome home;
  TMonitorRig rig;
  TK4410R_MonitorForm& monitor = *rig.Panel;
  monitor.Panel1->SetColor(0x00FF00);

  QTest::mouseClick(monitor.AddButton, Qt::LeftButton);
  QTest::mouseClick(monitor.AddButton, Qt::LeftButton);
  ASSERT_EQ(monitor.Panels.size(), 3u);
  ASSERT_EQ(monitor.Editors.size(), 3u);
  TMonitorPanel& third = *monitor.Panels[2];
  EXPECT_EQ(third.objectName(), "Panel3");
  EXPECT_EQ(third.Caption(), "Panel3");
  EXPECT_EQ(third.geometry(), QRect(0, 298, 313, 121));
  EXPECT_EQ(third.Color(), 0x00FF00);
  EXPECT_EQ(third.font(), monitor.Panel1->font());
  EXPECT_EQ(third.alignment(), monitor.Panel1->alignment());
  EXPECT_EQ(monitor.Editors[2]->objectName(), "Edit3");
  EXPECT_EQ(monitor.Editors[2]->parentWidget(), &third);
  EXPECT_EQ(monitor.Editors[2]->geometry(), monitor.Edit1->geometry());
  EXPECT_EQ(monitor.Editors[2]->font(), monitor.Edit1->font());
  EXPECT_TRUE(monitor.Editors[2]->text().isEmpty());
  EXPECT_TRUE(monitor.Editors[2]->isHidden());
  EXPECT_EQ(monitor.height(), 170 + 2 * 125);
  EXPECT_TRUE(monitor.RemoveButton->isEnabled());

  QTest::mouseClick(monitor.ShowEditCheckBox, Qt::LeftButton);
  for (QLineEdit* edit : monitor.Editors)
    EXPECT_FALSE(edit->isHidden()) << edit->objectName().toStdString();
  monitor.AddPanel();
  EXPECT_FALSE(monitor.Editors[3]->isHidden());
  monitor.RemovePanel();

  QTest::mouseClick(monitor.RemoveButton, Qt::LeftButton);
  EXPECT_TRUE(monitor.RemoveButton->isEnabled());
  QTest::mouseClick(monitor.RemoveButton, Qt::LeftButton);
  EXPECT_EQ(monitor.Panels.size(), 1u);
  EXPECT_EQ(monitor.height(), 170);
  EXPECT_FALSE(monitor.RemoveButton->isEnabled());
  EXPECT_EQ(monitor.findChild<TMonitorPanel*>("Panel2"), nullptr);
  // The designed panel is never removed.
  monitor.RemovePanel();
  EXPECT_EQ(monitor.Panels.size(), 1u);
  EXPECT_EQ(monitor.height(), 170);
  EXPECT_TRUE(rig.Errors.empty());
}

TEST(PanelMonitor, TwelvePanelsSaveTenAndTheNextStartShowsTen) {
  ScopedConfigHome home;
  {
    TMonitorRig rig;
    TK4410R_MonitorForm& monitor = *rig.Panel;
    for (int i = 0; i < 11; ++i)
      monitor.AddPanel();
    for (std::size_t i = 0; i < monitor.Editors.size(); ++i) {
      monitor.Editors[i]->setText(QString("cmd%1").arg(i));
      monitor.Panels[i]->SetColor(static_cast<std::int32_t>(i) * 0x10);
    }
    monitor.ShowEditCheckBox->setChecked(true);
    rig.DestroyPanelMonitor();
    EXPECT_EQ(rig.Form1->Settings->GetInteger("Monitor Panels"), 10);
  }
  TMonitorRig rig;
  TK4410R_MonitorForm& monitor = *rig.Panel;
  ASSERT_EQ(monitor.Panels.size(), 10u);
  EXPECT_EQ(monitor.height(), 170 + 9 * 125);
  EXPECT_EQ(EditText(*monitor.Editors[0]), "cmd0");
  EXPECT_EQ(EditText(*monitor.Editors[9]), "cmd9");
  EXPECT_EQ(monitor.Panels[9]->Color(), 0x90);
  EXPECT_TRUE(monitor.ShowEditCheckBox->isChecked());
  EXPECT_FALSE(monitor.Editors[9]->isHidden());
  EXPECT_TRUE(monitor.RemoveButton->isEnabled());
  EXPECT_TRUE(rig.Errors.empty());
}

// Only a hand edit stores more than ten panels or fewer than one. Beyond
// ten, loading fails at the eleventh panel, with every panel made and the
// editors' setting not applied; a count beyond any screen makes no more
// than a hundred.
TEST(PanelMonitor, StoredCountOutsideTheSettingsIsBounded) {
  ScopedConfigHome home;
  {
    TMonitorRig rig;
    rig.DestroyPanelMonitor();
    rig.Form1->Settings->SetInteger("Monitor Panels", 15);
    rig.Form1->Settings->SetString("Monitor Panel9 Command", "last");
    rig.Form1->Settings->SetInteger("Monitor Panel9 Color", 0x123456);
    rig.Form1->Settings->SetBoolean("Monitor Show Editors", true);
  }
  {
    TMonitorRig rig;
    EXPECT_EQ(rig.Errors,
              std::vector<std::string>{"Cannot find the record named Monitor Panel10 Command"});
    ASSERT_EQ(rig.Panel->Panels.size(), 15u);
    EXPECT_EQ(EditText(*rig.Panel->Editors[9]), "last");
    EXPECT_EQ(rig.Panel->Columns[9], "last") << "the readings file's column";
    EXPECT_EQ(rig.Panel->Panels[9]->Color(), 0x123456);
    EXPECT_EQ(EditText(*rig.Panel->Editors[10]), "");
    EXPECT_EQ(rig.Panel->Panels[14]->Color(), WindowTextColor);
    EXPECT_FALSE(rig.Panel->ShowEditCheckBox->isChecked());
    rig.DestroyPanelMonitor();
    EXPECT_EQ(rig.Form1->Settings->GetString("Monitor Panel9 Command"), "last");
    rig.Form1->Settings->SetInteger("Monitor Panels", 0x7FFFFFFF);
  }
  {
    TMonitorRig rig;
    EXPECT_EQ(rig.Panel->Panels.size(), 100u);
    EXPECT_EQ(rig.Errors.size(), 1u);
    rig.DestroyPanelMonitor();
    rig.Form1->Settings->SetInteger("Monitor Panels", -3);
  }
  TMonitorRig rig;
  EXPECT_EQ(rig.Panel->Panels.size(), 1u);
  EXPECT_EQ(rig.Panel->height(), 170);
}

TEST(PanelMonitor, DoubleClickChoosesThePanelColour) {
  ScopedConfigHome home;
  TMonitorRig rig;
  TK4410R_MonitorForm& monitor = *rig.Panel;
  monitor.AddPanel();
  TMonitorPanel& second = *monitor.Panels[1];

  QTimer::singleShot(0, [&] {
    EXPECT_EQ(monitor.ColorDialog->currentColor(), monitor.palette().color(QPalette::WindowText));
    monitor.ColorDialog->setCurrentColor(QColor(0x12, 0x34, 0x56));
    monitor.ColorDialog->accept();
  });
  QTest::mouseDClick(&second, Qt::LeftButton);
  EXPECT_EQ(second.Color(), 0x563412);
  EXPECT_EQ(second.palette().color(QPalette::WindowText), QColor(0x12, 0x34, 0x56));
  EXPECT_EQ(monitor.Panel1->Color(), WindowTextColor);

  QTimer::singleShot(0, [&] {
    EXPECT_EQ(monitor.ColorDialog->currentColor(), QColor(0x12, 0x34, 0x56));
    monitor.ColorDialog->setCurrentColor(Qt::white);
    monitor.ColorDialog->reject();
  });
  monitor.ChoosePanelColor(second);
  EXPECT_EQ(second.Color(), 0x563412);

  rig.DestroyPanelMonitor();
  EXPECT_EQ(rig.Form1->Settings->GetInteger("Monitor Panel1 Color"), 0x563412);
}

TEST(PanelMonitor, SavedPositionOffEveryScreenOpensOnThePrimary) {
  ScopedConfigHome home;
  {
    TMonitorRig rig;
    rig.Panel->move(40, 30);
    rig.DestroyPanelMonitor();
    EXPECT_EQ(rig.Form1->Settings->GetInteger("Monitor Left"), 40);
    EXPECT_EQ(rig.Form1->Settings->GetInteger("Monitor Top"), 30);
  }
  {
    TMonitorRig rig;
    EXPECT_EQ(rig.Panel->pos(), QPoint(40, 30));
    rig.DestroyPanelMonitor();
    rig.Form1->Settings->SetInteger("Monitor Left", 30000);
    rig.Form1->Settings->SetInteger("Monitor Top", -30000);
  }
  TMonitorRig rig;
  const QRect primary = QGuiApplication::primaryScreen()->availableGeometry();
  EXPECT_EQ(rig.Panel->pos(), primary.topLeft());
}

TEST(PanelMonitor, TimerRunsOnlyWhileVisibleAndTheCheckBoxFollows) {
  ScopedConfigHome home;
  TMonitorRig rig;
  TK4410R_MonitorForm& monitor = *rig.Panel;
  monitor.show();
  EXPECT_TRUE(monitor.Timer->isActive());
  EXPECT_EQ(monitor.Timer->interval(), 1000);
  EXPECT_TRUE(rig.Form1->MonitorCheckBox->isChecked());
  // Closing only hides it.
  monitor.close();
  EXPECT_FALSE(monitor.isVisible());
  EXPECT_FALSE(monitor.Timer->isActive());
  EXPECT_FALSE(rig.Form1->MonitorCheckBox->isChecked());
  EXPECT_EQ(monitor.Panels.size(), 1u);
}

TEST(PanelMonitor, PollAgainstTheInstrument) {
  ScopedConfigHome home;
  TempDir dir;
  const auto record = dir.Path() / "wire";
  SimProcess sim({"--steady", "--record", record.string()});
  TMonitorRig rig;
  TK4410R_MonitorForm& monitor = *rig.Panel;
  monitor.AddPanel();
  monitor.AddPanel();
  monitor.Editors[1]->setText(" \t ");
  monitor.Editors[2]->setText(" p.v ");

  // No port: nothing is sent, nothing changes.
  monitor.PollPanels();
  EXPECT_EQ(monitor.Panel1->Caption(), "Panel1");

  rig.Form1->Line.Open(sim.PortName(), sim.DevicePath(), false);
  monitor.PollPanels();
  EXPECT_EQ(monitor.Panels[0]->Caption(), "23.5");
  EXPECT_EQ(monitor.Panels[1]->Caption(), "Panel2");
  EXPECT_EQ(monitor.Panels[2]->Caption(), "23.5");
  EXPECT_EQ(FileText(record), "p.v\r\np.v\r\n");
  const std::string log = rig.Form1->OutputRichEdit->toPlainText().toLatin1().toStdString();
  EXPECT_EQ(CountOf(log, ". p.v 23.5"), 2u) << log;

  // A command the instrument does not know shows the silence.
  monitor.Editors[1]->setText("x");
  monitor.PollPanels();
  EXPECT_EQ(monitor.Panels[1]->Caption(), "(no answer)");

  // Port closed while shown: the last values stay and nothing goes out.
  rig.Form1->ClosePort();
  const std::string sent = FileText(record);
  monitor.show();
  QTest::qWait(1300);
  EXPECT_EQ(FileText(record), sent);
  EXPECT_EQ(monitor.Panels[0]->Caption(), "23.5");
  EXPECT_EQ(monitor.Panels[1]->Caption(), "(no answer)");
  EXPECT_TRUE(rig.Errors.empty()) << rig.Errors.front();
}

// Three exchanges outlast the period: the ticks then follow the polls at
// once, never idle a period between them and never pile up.
TEST(PanelMonitor, ThreePanelsPollBackToBack) {
  ScopedConfigHome home;
  TempDir dir;
  const auto record = dir.Path() / "wire";
  SimProcess sim({"--steady", "--record", record.string()});
  TMonitorRig rig;
  TK4410R_MonitorForm& monitor = rig.ThreePanelsPolling(sim);

  const auto sent = [&] { return CountOf(FileText(record), "p.v\r\n"); };
  const auto polled = [&] { return std::to_string(CountOf(LogText(*rig.Form1), "p.v 23.5")); };
  TickLog ticks(*monitor.Timer, polled);
  monitor.show();
  ASSERT_TRUE(QTest::qWaitFor([&] { return ticks.Ticks.size() >= 4; }, 20000));
  monitor.hide();
  // A poll of three exchanges (each at least 450 ms) outlasts the period:
  // every poll ends with the next tick already due, and each tick polls the
  // three panels once.
  for (std::size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(ticks.Ticks[i].RemainingAfter, 0) << "tick " << i;
    EXPECT_EQ(ticks.Ticks[i].ProbeAfter, std::to_string(3 * (i + 1))) << "tick " << i;
  }
  const std::size_t count = ticks.Ticks.size();
  ASSERT_TRUE(QTest::qWaitFor([&] { return sent() == 3 * count; }, 5000)) << sent();
  QTest::qWait(1200);
  EXPECT_EQ(ticks.Ticks.size(), count);
  EXPECT_EQ(sent(), 3 * count);
  EXPECT_TRUE(rig.Errors.empty()) << rig.Errors.front();
}

// One row per round, silence empty; a command changes its column only once
// its editing is finished, and a changed column starts a new file.
TEST(PanelMonitor, RecordsItsReadingsAsCsv) {
  ScopedConfigHome home;
  SimProcess sim({"--steady"});
  TMonitorRig rig;
  TK4410R_MonitorForm& monitor = *rig.Panel;
  monitor.AddPanel();
  monitor.Editors[1]->setText("x");
  QTest::keyClick(monitor.Editors[1], Qt::Key_Return);
  rig.Form1->Line.Open(sim.PortName(), sim.DevicePath(), false);
  TReadingsRecorder& readings = *monitor.Readings;
  EXPECT_TRUE(readings.Mark->isHidden());
  const auto path = home.Path() / "panel readings.csv";
  readings.Start(path.string(), monitor.RecordedColumns());
  EXPECT_FALSE(readings.Mark->isHidden());
  EXPECT_FALSE(readings.RecordAction->isEnabled());

  monitor.PollPanels();
  ASSERT_EQ(monitor.TrendMemory.Panels(), 2u);
  ASSERT_EQ(monitor.TrendMemory.Of(0).Points().size(), 1u);
  EXPECT_EQ(monitor.TrendMemory.Of(0).Points().front().Value, 23.5);
  EXPECT_EQ(monitor.TrendMemory.Of(1).Label(), "x");
  EXPECT_TRUE(IsGap(monitor.TrendMemory.Of(1).Points().front()));
  const std::string stamp = R"(\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.\d{3}[+-]\d\d:\d\d)";
  const std::regex round("time,p\\.v,x\r\n" + stamp + ",23\\.5,\r\n");
  EXPECT_TRUE(std::regex_match(FileText(path), round)) << FileText(path);

  // Polled while being edited: its cell stays empty in the same file.
  monitor.Editors[1]->setText(" p.v ");
  monitor.PollPanels();
  const std::regex rounds("time,p\\.v,x\r\n(" + stamp + ",23\\.5,\r\n){2}");
  EXPECT_TRUE(std::regex_match(FileText(path), rounds)) << FileText(path);
  const auto next = home.Path() / "panel readings (new columns 2).csv";
  EXPECT_FALSE(std::filesystem::exists(next));

  QTest::keyClick(monitor.Editors[1], Qt::Key_Return);
  monitor.PollPanels();
  EXPECT_TRUE(std::regex_match(FileText(path), rounds)) << "the first file stays as it was";
  EXPECT_EQ(FileText(next).substr(0, 14), "time,p.v,p.v\r\n");
  EXPECT_EQ(CountOf(FileText(next), ",23.5,23.5\r\n"), 1u) << FileText(next);
  EXPECT_EQ(monitor.TrendMemory.Of(0).Points().size(), 3u);
  EXPECT_EQ(monitor.TrendMemory.Of(1).Label(), "p.v");
  EXPECT_EQ(monitor.TrendMemory.Of(1).Points().size(), 2u);

  // The window's Trend of All Panels... shows every panel that polls, once.
  ASSERT_TRUE(monitor.Trends->Windows().empty());
  monitor.TrendAction->trigger();
  monitor.TrendAction->trigger();
  ASSERT_EQ(monitor.Trends->Windows().size(), 1u);
  EXPECT_EQ(monitor.Trends->Windows().front()->windowTitle(), "Trend p.v, p.v");

  readings.StopAction->trigger();
  EXPECT_TRUE(readings.Mark->isHidden());
  EXPECT_TRUE(readings.RecordAction->isEnabled());
  EXPECT_TRUE(rig.Errors.empty()) << rig.Errors.front();
}
