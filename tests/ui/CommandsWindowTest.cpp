#include "ui/CommandsWindow.h"

#include "settings/CommandsDatabase.h"
#include "settings/RecordingDatabase.h"
#include "tests/support/SimProcess.h"
#include "tests/support/TempDir.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/CommandDialog.h"
#include "ui/K4410R_Monitor.h"
#include "ui/LogRecording.h"
#include "ui/TestUnit.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

const std::string CommandsSection =
    "\r\n[HKEY_CURRENT_USER\\Software\\Tavrin\\Private\\Marrowlink\\Commands]";

// Shortcuts act only in the active window.
void ShowActive(QWidget& window) {
  window.show();
  QApplication::setActiveWindow(&window);
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
}

void OpenPortOf(TForm1& form, const std::string& name) {
  ASSERT_TRUE(form.RefreshPorts(name));
  QTest::mouseClick(form.SpeedButton1, Qt::LeftButton);
  ASSERT_TRUE(form.Line.IsOpen());
}

// Fills the Add dialog's fields once it shows and presses OK.
void AnswerDialog(TCommandsWindow& window, const QString& command, const QString& every) {
  QTimer::singleShot(50, &window, [&window, command, every] {
    TCommandDialog* dialog = window.CommandDialog;
    ASSERT_TRUE(dialog != nullptr && dialog->isVisible());
    dialog->CommandEdit->setText(command);
    dialog->EveryEdit->setText(every);
    dialog->accept();
  });
}

class CommandsWindowTest : public testing::Test {
protected:
  ScopedConfigHome Home;
  ErrorRecorder Errors;
  std::filesystem::path Record = Home.Path() / "wire.bin";
};

} // namespace

TEST_F(CommandsWindowTest, AButtonSendsThroughTheRoadAsSendDoesAndTheLogShowsItsView) {
  SimProcess sim({"--steady", "--record", Record.string()});
  WriteSettings(Home.AppDir(),
                {CommandsSection, "\"Buttons\"=dword:00000003", "\"Button0 Caption\"=\"Value\"",
                 "\"Button0 Command\"=\"p.v\"", "\"Button1 Command\"=\"F\\\\x30\"",
                 "\"Button1 Every\"=dword:000186a0", "\"Button2 Caption\"=dword:1",
                 "\"Button2 Command\"=\"hidden\""});
  auto form = std::make_unique<TForm1>();
  ASSERT_EQ(Errors.Messages.size(), 1u);
  EXPECT_NE(Errors.Messages[0].find("Commands\\Button2 Caption: a dword where a string belongs"),
            std::string::npos);
  EXPECT_EQ(form->CommandsCheckBox->pos(), QPoint(140, 96));
  EXPECT_EQ(form->CommandsCheckBox->text(), "Comman&ds");
  EXPECT_FALSE(form->CommandsCheckBox->isEnabled());
  TCommandsWindow& window = *form->Commands;
  const auto button = [&](std::size_t i) { return window.CommandButtons.at(i); };
  ASSERT_EQ(window.CommandButtons.size(), 2u) << "the damaged button is not shown";
  EXPECT_EQ(button(0)->text(), "Value");
  EXPECT_EQ(button(1)->text(), "F\\x30") << "the command where the caption is empty";
  EXPECT_FALSE(button(0)->isEnabled());

  OpenPortOf(*form, sim.PortName());
  EXPECT_TRUE(form->CommandsCheckBox->isEnabled());
  EXPECT_TRUE(button(0)->isEnabled());
  form->MessageComboBox->setEditText("inp");
  QTest::mouseClick(button(0), Qt::LeftButton);
  ShowActive(*form);
  QTest::keyClick(form.get(), Qt::Key_1, Qt::ControlModifier);
  EXPECT_EQ(LogText(*form), "1. p.v 23.5\n\n3. p.v 23.5\n\n");
  EXPECT_EQ(form->MessageComboBox->currentText(), "inp");
  EXPECT_EQ(form->MessageComboBox->count(), 0) << "not in the message history";

  form->SessionLog->ViewActions[static_cast<int>(TLogView::Hex)]->trigger();
  QTest::mouseClick(button(1), Qt::LeftButton);
  EXPECT_TRUE(window.Running(1));
  EXPECT_TRUE(button(1)->isChecked());
  EXPECT_TRUE(button(1)->font().bold());
  EXPECT_EQ(LogText(*form), "1. p.v 23.5\n\n3. p.v 23.5\n\n5. 46 30 20 46 46 20 46 45 20 30 30 20 "
                            "30 30 20 32 45 20 30 39 20 46 36 20 46 46 0D 0A\n");
  QTest::mouseClick(button(0), Qt::LeftButton);
  EXPECT_TRUE(LogText(*form).ends_with("\n7. 70 2E 76 20 32 33 2E 35 0D 0A\n"))
      << "numbered as the text would be";
  form->OutputRichEdit->selectAll();
  form->SessionLog->CopyAction->trigger();
  EXPECT_EQ(QApplication::clipboard()->text().toStdString(), LogText(*form)) << "what is shown";

  // Ctrl+2 in the Commands window presses the running button again.
  ShowActive(window);
  EXPECT_TRUE(form->CommandsCheckBox->isChecked());
  QTest::keyClick(&window, Qt::Key_2, Qt::ControlModifier);
  EXPECT_FALSE(window.Running(1));
  QTest::mouseClick(button(1), Qt::LeftButton);
  EXPECT_TRUE(window.Running(1));
  QTest::mouseClick(form->SpeedButton1, Qt::LeftButton);
  EXPECT_FALSE(window.Running(1)) << "closing the port stops every running button";
  EXPECT_FALSE(button(1)->isEnabled());
  EXPECT_EQ(ReadFile(Record), "p.v\r\np.v\r\nF0\r\np.v\r\nF0\r\n");
  EXPECT_EQ(Errors.Messages.size(), 1u) << Errors.Messages.back();

  // The dialog refuses, says why and stays open; Add appends.
  AnswerDialog(window, "", "0");
  QTimer::singleShot(100, &window, [&] {
    ASSERT_TRUE(window.CommandDialog->isVisible());
    EXPECT_EQ(window.CommandDialog->CommandEdit->text(), "");
    window.CommandDialog->CommandEdit->setText("o.p");
    window.CommandDialog->accept();
  });
  QTest::mouseClick(window.AddButton, Qt::LeftButton);
  ASSERT_EQ(Errors.Messages.size(), 2u);
  EXPECT_EQ(Errors.Messages[1], "A button needs a command");
  ASSERT_EQ(window.CommandButtons.size(), 3u);
  EXPECT_EQ(button(2)->text(), "o.p");

  form.reset();
  const TCommandsDatabase saved;
  const std::vector<TCommandButton> buttons = saved.Buttons();
  ASSERT_EQ(buttons.size(), 4u);
  EXPECT_TRUE(buttons[2].Damaged) << "kept in its place";
  EXPECT_EQ(buttons[3].Command, "o.p");
  EXPECT_TRUE(saved.GetBoolean("Visible"));
  EXPECT_EQ(TRecordingDatabase().GetInteger("Log View"), 2);
}

// A running button, Cycle and the panel monitor all due more often than
// the line can serve: they take turns, each has some, and no exchange
// starts before the one under way has read its answer.
TEST_F(CommandsWindowTest, ARunningButtonCycleAndThePanelMonitorShareTheLineWithoutOverlap) {
  SimProcess sim({"--steady", "--record", Record.string()});
  TForm1 form;
  TK4410R_MonitorForm panelMonitor(form);
  form.SetMonitorForms(&panelMonitor, nullptr);
  OpenPortOf(form, sim.PortName());
  panelMonitor.Editors[0]->setText("s.p");
  form.MessageComboBox->setEditText("o.p");

  bool inExchange = false;
  int overlaps = 0;
  form.Line.Protocol()->StepObserver = [&](TExchangeStep step, std::size_t) {
    if (step == TExchangeStep::RtsUp) {
      overlaps += inExchange ? 1 : 0;
      inExchange = true;
    } else if (step == TExchangeStep::AnswerRead) {
      inExchange = false;
    }
  };
  AnswerDialog(*form.Commands, "F\\x30", "300");
  QTest::mouseClick(form.Commands->AddButton, Qt::LeftButton);
  QTest::mouseClick(form.Commands->CommandButtons.at(0), Qt::LeftButton);
  QTest::mouseClick(form.CycleCheckBox, Qt::LeftButton);
  panelMonitor.show();

  ASSERT_TRUE(WaitUntil(
      [&] {
        const auto wire = CommandsReceived(Record);
        return wire.count("F0") && wire.at("F0") >= 3 && wire.count("o.p") && wire.at("o.p") >= 2 &&
               wire.count("s.p") && wire.at("s.p") >= 2;
      },
      20000))
      << ReadFile(Record);
  panelMonitor.hide();
  form.SetMonitorForms(nullptr, nullptr);
  EXPECT_EQ(overlaps, 0);
  EXPECT_FALSE(inExchange);
  const auto wire = CommandsReceived(Record);
  EXPECT_EQ(wire.size(), 3u) << ReadFile(Record);
  EXPECT_EQ(form.Commands->TurnCounts(0).Made, static_cast<std::uint64_t>(wire.at("F0")));
  EXPECT_TRUE(Errors.Messages.empty()) << Errors.Messages.front();
}
