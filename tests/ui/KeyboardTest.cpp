// The main window driven from the keyboard alone, as an operator without a
// mouse would: Tab, Enter, Up and Down in the message box, Alt and the
// underlined letter of a check box.
#include "tests/support/SimProcess.h"
#include "tests/support/TempDir.h"
#include "tests/ui/MonitorRig.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/DropDownComboBox.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <fstream>

namespace {

using Strings = std::vector<std::string>;

class KeyboardTest : public testing::Test {
protected:
  // Shortcuts and Tab act only in the active window.
  void ShowActive(QWidget& window) {
    window.show();
    QApplication::setActiveWindow(&window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
  }

  void OpenPort(TForm1& form, const SimProcess& sim) {
    ASSERT_TRUE(form.RefreshPorts(sim.PortName()));
    QTest::mouseClick(form.SpeedButton1, Qt::LeftButton);
    ASSERT_TRUE(form.Line.IsOpen());
  }

  ScopedConfigHome Home;
};

// The control of the window that holds the focus, by name; a control's own
// parts (the message box's edit line) count as the control.
std::string FocusedControl(const TForm1& form) {
  const QWidget* focus = QApplication::focusWidget();
  for (const QWidget* control : std::initializer_list<const QWidget*>{
           form.PortComboBox, form.SpeedButton1, form.MessageComboBox, form.TestButton,
           form.MonitorCheckBox, form.ValueMonitorCheckBox, form.CycleCheckBox,
           form.CommandsCheckBox, form.Button1, form.OutputRichEdit})
    if (focus == control || (focus != nullptr && control->isAncestorOf(focus)))
      return control->objectName().toStdString();
  return focus == nullptr ? "(none)" : "(other)";
}

// Where the focus goes on each of count presses of the key.
Strings FocusWalk(const TForm1& form, Qt::Key key, int count) {
  Strings walk;
  for (int i = 0; i < count; ++i) {
    QTest::keyClick(QApplication::focusWidget(), key);
    walk.push_back(FocusedControl(form));
  }
  return walk;
}

void TypeAndEnter(QLineEdit* edit, const char* text) {
  edit->clear();
  QTest::keyClicks(edit, text);
  QTest::keyClick(edit, Qt::Key_Return);
}

std::string MessageText(const TForm1& form) {
  return form.MessageComboBox->currentText().toStdString();
}

} // namespace

TEST_F(KeyboardTest, TabFollowsTheLayoutAndPassesOverDisabledControls) {
  SimProcess sim({"--steady"});
  TMonitorRig rig;
  TForm1& form = *rig.Form1;
  ShowActive(form);

  ASSERT_TRUE(form.RefreshPorts(sim.PortName()));
  form.PortComboBox->setFocus();
  EXPECT_EQ(FocusWalk(form, Qt::Key_Tab, 4),
            (Strings{"MessageComboBox", "Button1", "OutputRichEdit", "PortComboBox"}));

  // The Open button is a speed button: the mouse does not move the focus
  // to it, and Tab passes it by. The port list, disabled once open, hands
  // the focus on to the message box.
  OpenPort(form, sim);
  EXPECT_EQ(FocusedControl(form), "MessageComboBox");
  EXPECT_EQ(FocusWalk(form, Qt::Key_Tab, 8),
            (Strings{"TestButton", "MonitorCheckBox", "ValueMonitorCheckBox", "CycleCheckBox",
                     "CommandsCheckBox", "Button1", "OutputRichEdit", "MessageComboBox"}));
  EXPECT_EQ(FocusWalk(form, Qt::Key_Backtab, 2), (Strings{"OutputRichEdit", "Button1"}));
  EXPECT_TRUE(rig.Errors.empty());
}

TEST_F(KeyboardTest, EnterSendsAndUpDownWalkTheHistory) {
  const std::filesystem::path wire = Home.Path() / "wire.bin";
  SimProcess sim({"--steady", "--record", wire.string()});
  ErrorRecorder errors;
  TForm1 form;
  ShowActive(form);
  OpenPort(form, sim);
  QLineEdit* edit = form.MessageComboBox->lineEdit();
  edit->setFocus();

  TypeAndEnter(edit, "p.v");
  TypeAndEnter(edit, "s.p");
  TypeAndEnter(edit, "o.p");
  EXPECT_EQ(HistoryItems(form), (Strings{"o.p", "s.p", "p.v"}));
  const std::string log = LogText(form);
  EXPECT_TRUE(log.starts_with("1. p.v 23.5\n\n3. s.p ")) << log;
  EXPECT_NE(log.find("\n\n5. o.p "), std::string::npos) << log;

  // Up and Down as the keyboard delivers them, to the control with the
  // focus: from the newest down to the oldest, where Down stops, and back up.
  Strings walked;
  for (Qt::Key key : {Qt::Key_Down, Qt::Key_Down, Qt::Key_Down, Qt::Key_Up, Qt::Key_Up}) {
    QTest::keyClick(QApplication::focusWidget(), key);
    walked.push_back(MessageText(form));
  }
  EXPECT_EQ(walked, (Strings{"s.p", "p.v", "p.v", "s.p", "o.p"}));

  // From a text of one's own, Down starts at the newest command.
  edit->clear();
  QTest::keyClicks(edit, "new");
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
  EXPECT_EQ(MessageText(form), "o.p");

  // Enter sends the command walked to, which moves to the top.
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
  EXPECT_EQ(HistoryItems(form), (Strings{"s.p", "o.p", "p.v"}));
  EXPECT_EQ(ReadFile(wire), "p.v\r\ns.p\r\no.p\r\ns.p\r\n");
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
  EXPECT_EQ(MessageText(form), "o.p");
  EXPECT_TRUE(errors.Messages.empty());
}

// Keys as the keyboard delivers them: to the control that holds the focus.
// Into the message box they go to the box, which hands them to its edit line.
TEST_F(KeyboardTest, EnterSendsWhatTheBoxShowsOrPressesTheFocusedButton) {
  const std::filesystem::path wire = Home.Path() / "wire.bin";
  SimProcess sim({"--steady", "--record", wire.string()});
  ErrorRecorder errors;
  TForm1 form;
  ShowActive(form);
  OpenPort(form, sim);
  const auto press = [](Qt::Key key) { QTest::keyClick(QApplication::focusWidget(), key); };
  form.MessageComboBox->setFocus();
  QTest::keyClicks(QApplication::focusWidget(), "p.v");
  press(Qt::Key_Return);
  ASSERT_EQ(ReadFile(wire), "p.v\r\n");

  // "p" completes to the sent command, its tail selected: the one Enter
  // sends the whole of it.
  form.MessageComboBox->clearEditText();
  QTest::keyClicks(QApplication::focusWidget(), "p");
  ASSERT_EQ(MessageText(form), "p.v");
  EXPECT_EQ(form.MessageComboBox->lineEdit()->selectedText(), ".v");
  press(Qt::Key_Enter);
  EXPECT_EQ(ReadFile(wire), "p.v\r\np.v\r\n");
  EXPECT_EQ(HistoryItems(form), Strings{"p.v"});

  // The log is read-only; Enter there sends nothing.
  form.OutputRichEdit->setFocus();
  press(Qt::Key_Return);
  press(Qt::Key_Enter);
  QTest::qWait(50);
  EXPECT_EQ(ReadFile(wire), "p.v\r\np.v\r\n");
  EXPECT_EQ(LogText(form), "1. p.v 23.5\n\n3. p.v 23.5\n\n");

  // On Send File, Enter presses Send File: its file plays, the message is
  // not sent.
  const std::filesystem::path file = Home.Path() / "play.txt";
  std::ofstream(file) << "s.p\n";
  ChooseFileWhenAsked(form, file);
  form.Button1->setFocus();
  press(Qt::Key_Return);
  ASSERT_TRUE(WaitUntil([&] { return !form.Playback.Playing(); }, 10000));
  EXPECT_EQ(ReadFile(wire), "p.v\r\np.v\r\ns.p\r\n");

  // Closing and opening again with the mouse leaves the focus where it was:
  // the next Enter sends the message, it does not close the port.
  ShowActive(form);
  form.MessageComboBox->setFocus();
  QTest::mouseClick(form.SpeedButton1, Qt::LeftButton);
  QTest::mouseClick(form.SpeedButton1, Qt::LeftButton);
  ASSERT_TRUE(form.Line.IsOpen());
  EXPECT_EQ(FocusedControl(form), "MessageComboBox");
  press(Qt::Key_Return);
  EXPECT_TRUE(form.Line.IsOpen());
  EXPECT_EQ(ReadFile(wire), "p.v\r\np.v\r\ns.p\r\ns.p\r\n");
  EXPECT_TRUE(errors.Messages.empty()) << errors.Messages.front();
}

TEST_F(KeyboardTest, AltAndTheUnderlinedLetterToggleTheCheckBoxes) {
  SimProcess sim({"--steady"});
  TMonitorRig rig;
  TForm1& form = *rig.Form1;
  ShowActive(form);
  OpenPort(form, sim);
  QLineEdit* edit = form.MessageComboBox->lineEdit();
  edit->setFocus();
  ShowActive(form);

  const auto press = [&](Qt::Key key) { QTest::keyClick(edit, key, Qt::AltModifier); };
  press(Qt::Key_C);
  EXPECT_TRUE(WaitUntil([&] { return form.CycleCheckBox->isChecked(); }, 1000));
  EXPECT_TRUE(form.CycleTimer.isActive());
  press(Qt::Key_C);
  EXPECT_TRUE(WaitUntil([&] { return !form.CycleCheckBox->isChecked(); }, 1000));
  EXPECT_FALSE(form.CycleTimer.isActive());

  press(Qt::Key_M);
  EXPECT_TRUE(WaitUntil([&] { return rig.Panel->isVisible(); }, 1000));
  EXPECT_TRUE(form.MonitorCheckBox->isChecked());
  rig.Panel->hide();
  EXPECT_FALSE(form.MonitorCheckBox->isChecked());

  ShowActive(form);
  press(Qt::Key_V);
  EXPECT_TRUE(WaitUntil([&] { return rig.Values->isVisible(); }, 1000));
  EXPECT_TRUE(form.ValueMonitorCheckBox->isChecked());
  EXPECT_TRUE(rig.Errors.empty());
}
