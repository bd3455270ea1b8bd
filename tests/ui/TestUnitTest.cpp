#include "ui/TestUnit.h"

#include "settings/DatabaseUnit.h"
#include "tests/support/SimProcess.h"
#include "tests/support/TempDir.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/DropDownComboBox.h"
#include "ui/LogRecording.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QFileDialog>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTextBlock>

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstring>
#include <fstream>
#include <regex>
#include <sys/resource.h>

namespace {

using Strings = std::vector<std::string>;

class MainWindowTest : public testing::Test {
protected:
  std::filesystem::path TextFile(const std::string& bytes) {
    const std::filesystem::path path = Home.Path() / "commands.txt";
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
  }
  std::string Recorded() const { return ReadFile(Record); }

  ScopedConfigHome Home;
  ErrorRecorder Errors;
  std::filesystem::path Record = Home.Path() / "wire.bin";
};

void Send(TForm1& form, const std::string& text) {
  form.MessageComboBox->setEditText(QString::fromLatin1(text));
  QTest::mouseClick(form.TestButton, Qt::LeftButton);
}

void OpenPortOf(TForm1& form, const std::string& name) {
  ASSERT_TRUE(form.RefreshPorts(name));
  QTest::mouseClick(form.SpeedButton1, Qt::LeftButton);
  ASSERT_TRUE(form.Line.IsOpen());
}

// Every session file of the test's data folder, oldest day first.
std::string SessionText(const ScopedConfigHome& home) {
  std::vector<std::filesystem::path> files;
  for (const auto& entry : std::filesystem::directory_iterator(home.DataDir() / "sessions"))
    files.push_back(entry.path());
  std::sort(files.begin(), files.end());
  std::string text;
  for (const auto& file : files)
    text += ReadFile(file);
  return text;
}

std::size_t CountOf(const std::string& text, const std::string& part) {
  std::size_t count = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
    ++count;
  return count;
}

void ExpectClosedState(const TForm1& form) {
  EXPECT_FALSE(form.Line.IsOpen());
  EXPECT_TRUE(form.PortComboBox->isEnabled());
  EXPECT_FALSE(form.SpeedButton1->isChecked());
  EXPECT_FALSE(form.TestButton->isEnabled());
  EXPECT_FALSE(form.CycleCheckBox->isEnabled());
  EXPECT_FALSE(form.CycleCheckBox->isChecked());
}

} // namespace

TEST_F(MainWindowTest, DesignedControlsAndFirstRunState) {
  TForm1 form;
  EXPECT_EQ(form.windowTitle(), "K4410R Diroridodevo 3.2");
  EXPECT_EQ(form.size(), QSize(385, 317));
  EXPECT_EQ(form.minimumSize(), QSize(228, 238));
  EXPECT_EQ(form.font().pixelSize(), 10);

  EXPECT_EQ(form.PortComboBox->geometry(), QRect(60, 13, 245, 21));
  EXPECT_FALSE(form.PortComboBox->isEditable());
  EXPECT_EQ(form.SpeedButton1->geometry(), QRect(317, 13, 57, 21));
  EXPECT_EQ(form.SpeedButton1->text(), "Open");
  EXPECT_TRUE(form.SpeedButton1->isCheckable());
  EXPECT_EQ(form.MessageComboBox->geometry(), QRect(60, 50, 245, 21));
  EXPECT_TRUE(form.MessageComboBox->isEditable());
  EXPECT_EQ(form.TestButton->geometry(), QRect(317, 50, 60, 21));
  EXPECT_EQ(form.TestButton->text(), "Send");
  EXPECT_TRUE(form.TestButton->isDefault());
  EXPECT_EQ(form.MonitorCheckBox->pos(), QPoint(60, 78));
  EXPECT_EQ(form.MonitorCheckBox->text(), "&Monitor");
  EXPECT_EQ(form.ValueMonitorCheckBox->pos(), QPoint(140, 78));
  EXPECT_EQ(form.ValueMonitorCheckBox->text(), "&Values");
  EXPECT_EQ(form.CycleCheckBox->pos(), QPoint(60, 96));
  EXPECT_EQ(form.CycleCheckBox->text(), "&Cycle");
  EXPECT_EQ(form.Button1->geometry(), QRect(317, 88, 60, 21));
  EXPECT_EQ(form.Button1->text(), "Send File");
  EXPECT_TRUE(form.Button1->isEnabled());
  EXPECT_FALSE(form.MonitorCheckBox->isEnabled());
  EXPECT_FALSE(form.ValueMonitorCheckBox->isEnabled());
  EXPECT_TRUE(form.OutputRichEdit->isReadOnly());
  EXPECT_EQ(form.OutputRichEdit->lineWrapMode(), QPlainTextEdit::NoWrap);
  EXPECT_EQ(form.OutputRichEdit->geometry(), QRect(0, 120, 385, 197));
  EXPECT_FALSE(form.CycleTimer.isActive());
  ExpectClosedState(form);

  // A first run: nothing selected, the designed "inp" replaced, window at
  // the screen's top-left.
  EXPECT_EQ(form.PortComboBox->currentIndex(), -1);
  EXPECT_EQ(form.MessageComboBox->currentText(), "");
  EXPECT_EQ(form.pos(), QPoint(0, 0));
  EXPECT_TRUE(Errors.Messages.empty());

  form.show();
  form.resize(600, 500);
  EXPECT_EQ(form.OutputRichEdit->geometry(), QRect(0, 120, 600, 380));
}

// One group of real exchanges: numbering, silence, Delete, Enter, history.
TEST_F(MainWindowTest, SendLogsNumberedAnswersAndKeepsHistory) {
  SimProcess sim({"--steady"});
  TForm1 form;
  OpenPortOf(form, sim.PortName());
  EXPECT_FALSE(form.PortComboBox->isEnabled());
  EXPECT_TRUE(form.SpeedButton1->isChecked());
  EXPECT_TRUE(form.TestButton->isEnabled());
  EXPECT_TRUE(form.CycleCheckBox->isEnabled());
  EXPECT_TRUE(form.MonitorCheckBox->isEnabled());
  EXPECT_TRUE(form.ValueMonitorCheckBox->isEnabled());

  Send(form, "p.v");
  EXPECT_EQ(LogText(form), "1. p.v 23.5\n\n");
  // Enter in the message box presses Send, once.
  form.MessageComboBox->setEditText("abc");
  QTest::keyClick(form.MessageComboBox->lineEdit(), Qt::Key_Return);
  EXPECT_EQ(LogText(form), "1. p.v 23.5\n\n3. (no answer)\n");

  QTest::keyClick(form.OutputRichEdit, Qt::Key_Delete, Qt::ShiftModifier);
  EXPECT_EQ(LogText(form), "");
  Send(form, "def");
  Send(form, "ABC");
  EXPECT_EQ(LogText(form), "1. (no answer)\n2. (no answer)\n");
  EXPECT_EQ(HistoryItems(form), (Strings{"abc", "def", "p.v"}));
  EXPECT_EQ(form.MessageComboBox->currentText(), "abc");
  EXPECT_TRUE(form.TestButton->isEnabled());
  EXPECT_TRUE(Errors.Messages.empty());

  QTest::mouseClick(form.SpeedButton1, Qt::LeftButton);
  ExpectClosedState(form);
  EXPECT_TRUE(form.MonitorCheckBox->isEnabled());
}

TEST_F(MainWindowTest, FailedOpensReturnToTheClosedState) {
  SimProcess sim({"--steady"});
  TForm1 form;

  // Nothing selected.
  QTest::mouseClick(form.SpeedButton1, Qt::LeftButton);
  EXPECT_EQ(Errors.Messages, Strings{"List index out of bounds (-1)"});
  ExpectClosedState(form);
  EXPECT_TRUE(form.MonitorCheckBox->isEnabled());

  // The port in use by another program.
  {
    TK4410RProtocol other(sim.DevicePath(), 9600);
    ASSERT_TRUE(form.RefreshPorts(sim.PortName()));
    QTest::mouseClick(form.SpeedButton1, Qt::LeftButton);
    EXPECT_EQ(Errors.Messages.back(),
              sim.DevicePath() + " is not available\r\n"
                                 "Device or resource busy: another program holds the port");
    ExpectClosedState(form);
  }

  // Its link pointing nowhere by the time Open is pressed.
  const std::filesystem::path link = Home.AppDir() / "dosdevices" / "com9";
  std::filesystem::create_symlink(sim.PtyPath(), link);
  ASSERT_TRUE(form.RefreshPorts("COM9"));
  ASSERT_GE(form.PortComboBox->currentIndex(), 0);
  std::filesystem::remove(link);
  std::filesystem::create_symlink(Home.Path() / "gone", link);
  QTest::mouseClick(form.SpeedButton1, Qt::LeftButton);
  EXPECT_EQ(Errors.Messages.back(), "\\\\.\\COM9 is not available\r\n"
                                    "No such file or directory: the device is not connected");
  ExpectClosedState(form);

  // And the window still opens a good port afterwards.
  SimProcess good({"--steady"});
  OpenPortOf(form, good.PortName());
  EXPECT_EQ(Errors.Messages.size(), 3u) << Errors.Messages.back();
}

TEST_F(MainWindowTest, PlaybackWithoutRepetitionSendsTheLinesBackToBack) {
  SimProcess sim({"--steady", "--record", Record.string()});
  TForm1 form;
  OpenPortOf(form, sim.PortName());
  form.MessageComboBox->setEditText("inp");

  ChooseFileWhenAsked(form, TextFile("p.v\r\nF0\nzz"));
  TickLog ticks(form.CycleTimer, [&] { return LogText(form); });
  QTest::mouseClick(form.Button1, Qt::LeftButton);
  EXPECT_TRUE(form.Playback.Playing());
  EXPECT_EQ(form.CycleTimer.interval(), 200);
  EXPECT_EQ(form.OpenDialog1->nameFilters(), QStringList{"Text files (*.txt)"});
  EXPECT_EQ(form.OpenDialog1->defaultSuffix(), "txt");
  ASSERT_TRUE(WaitUntil([&] { return !form.Playback.Playing(); }, 10000));

  EXPECT_EQ(Recorded(), "p.v\r\nF0\r\nzz\r\n");
  EXPECT_EQ(LogText(form), "1. p.v 23.5\n\n3. F0 FF FE 00 00 2E 09 F6 FF\n\n5. (no answer)\n");
  const std::string session = SessionText(Home);
  const std::size_t started =
      session.find("\tplayback\tstarted\t" + (Home.Path() / "commands.txt").string() + "\n");
  EXPECT_LT(started, session.find("\texchange\tp.v\t")) << session;
  EXPECT_LT(session.find("\texchange\tzz\t\t"), session.find("\tplayback\tended\n")) << session;
  EXPECT_EQ(form.MessageComboBox->currentText(), "zz");
  EXPECT_EQ(HistoryItems(form), (Strings{"zz", "F0", "p.v"}));
  EXPECT_FALSE(form.CycleCheckBox->isChecked());
  // One line a tick, and an exchange (at least 450 ms) outlasts the 200 ms
  // period: each line's tick ends with the next one already due, so the
  // lines go out back to back, never a period apart.
  ASSERT_GE(ticks.Ticks.size(), 4u);
  const Strings logAfterLine{"1. p.v 23.5\n\n", "1. p.v 23.5\n\n3. F0 FF FE 00 00 2E 09 F6 FF\n\n",
                             LogText(form)};
  for (std::size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(ticks.Ticks[i].ProbeAfter, logAfterLine[i]) << "tick " << i;
    EXPECT_EQ(ticks.Ticks[i].RemainingAfter, 0) << "tick " << i;
  }
  EXPECT_EQ(ticks.Ticks[3].ProbeAfter, LogText(form)) << "the end of the file sends nothing";
  EXPECT_TRUE(Errors.Messages.empty());
}

TEST_F(MainWindowTest, PlaybackWithRepetitionResumesTheMessage) {
  SimProcess sim({"--steady", "--record", Record.string()});
  TForm1 form;
  OpenPortOf(form, sim.PortName());
  form.MessageComboBox->setEditText("p.v");
  QTest::mouseClick(form.CycleCheckBox, Qt::LeftButton);
  EXPECT_TRUE(form.CycleTimer.isActive());
  EXPECT_EQ(form.CycleTimer.interval(), 1000);

  ChooseFileWhenAsked(form, TextFile("s.p\nF0\n"));
  TickLog ticks(form.CycleTimer, [&] { return LogText(form); });
  QTest::mouseClick(form.Button1, Qt::LeftButton);
  EXPECT_FALSE(form.CycleCheckBox->isChecked());
  ASSERT_TRUE(WaitUntil([&] { return !form.Playback.Playing(); }, 10000));
  EXPECT_EQ(form.MessageComboBox->currentText(), "p.v");
  EXPECT_TRUE(form.CycleCheckBox->isChecked());
  EXPECT_EQ(form.CycleTimer.interval(), 1000);

  ASSERT_TRUE(WaitUntil([&] { return Recorded() == "s.p\r\nF0\r\np.v\r\np.v\r\n"; }, 10000))
      << Recorded();
  ASSERT_TRUE(WaitUntil([&] { return LogText(form).ends_with("7. p.v 23.5\n\n"); }, 5000));
  // The tick after the last line ends playback and sends nothing; the
  // repeats then come one a tick, the first a whole period after it: a
  // coarse timer fires at most 5 % (50 ms) early, and a loaded machine only
  // makes it later.
  const auto& tick = ticks.Ticks;
  const auto last = std::find_if(tick.begin(), tick.end(), [](const TickLog::TTick& t) {
    return t.ProbeAfter.find("F0 FF FE") != std::string::npos;
  });
  ASSERT_GE(tick.end() - last, 4) << "no two repeats after the playback";
  const auto end = last + 1;
  EXPECT_EQ(end->ProbeAfter, last->ProbeAfter);
  EXPECT_GE((end + 1)->StartMs - end->StartMs, 940);
  EXPECT_TRUE((end + 1)->ProbeAfter.ends_with("5. p.v 23.5\n\n")) << (end + 1)->ProbeAfter;
  EXPECT_TRUE((end + 2)->ProbeAfter.ends_with("7. p.v 23.5\n\n")) << (end + 2)->ProbeAfter;
  EXPECT_TRUE(Errors.Messages.empty());
}

TEST_F(MainWindowTest, PlaybackNeverSendsOnAClosedPort) {
  SimProcess sim({"--steady", "--record", Record.string()});
  TForm1 form;
  const std::filesystem::path file = TextFile("p.v\np.v\np.v\np.v\np.v\n");

  QTest::mouseClick(form.Button1, Qt::LeftButton);
  EXPECT_EQ(Errors.Messages, Strings{"No port is open"});
  EXPECT_FALSE(form.Playback.Playing());

  OpenPortOf(form, sim.PortName());
  form.MessageComboBox->setEditText("before");
  QTest::mouseClick(form.CycleCheckBox, Qt::LeftButton);
  ChooseFileWhenAsked(form, file);
  QTest::mouseClick(form.Button1, Qt::LeftButton);
  // A second Send File ends the first playback before the new one starts.
  ASSERT_TRUE(WaitUntil([&] { return Recorded().size() >= 5; }, 3000));
  ChooseFileWhenAsked(form, TextFile("zz\n"));
  QTest::mouseClick(form.Button1, Qt::LeftButton);
  ASSERT_TRUE(WaitUntil([&] { return !form.Playback.Playing(); }, 3000));
  // The first file went on while the dialog was open, and stopped there.
  const std::string played = Recorded();
  EXPECT_TRUE(played.starts_with("p.v\r\n"));
  EXPECT_TRUE(played.ends_with("p.v\r\nzz\r\n")) << played;
  EXPECT_LT(played.size(), 25u);
  EXPECT_EQ(form.MessageComboBox->currentText(), "before");
  EXPECT_TRUE(form.CycleCheckBox->isChecked());

  // Closing the port ends a running playback.
  ChooseFileWhenAsked(form, file);
  QTest::mouseClick(form.Button1, Qt::LeftButton);
  ASSERT_TRUE(WaitUntil([&] { return LogText(form).find("p.v 23.5") != std::string::npos; }, 3000));
  QTest::mouseClick(form.SpeedButton1, Qt::LeftButton);
  EXPECT_FALSE(form.Playback.Playing());
  ExpectClosedState(form);
  EXPECT_EQ(form.MessageComboBox->currentText(), "before");
  const std::string sent = Recorded();
  QTest::qWait(600);
  EXPECT_EQ(Recorded(), sent);
  EXPECT_TRUE(Errors.Messages.size() == 1) << Errors.Messages.back();
}

// Appends that would pass the view's capacity drop the oldest lines; the
// numbering goes on.
TEST_F(MainWindowTest, TheLogKeepsLogging) {
  TForm1 form;
  const std::string line(99, 'x');
  for (int i = 0; i < 700; ++i)
    form.AppendOutput(line);
  EXPECT_LE(form.OutputRichEdit->document()->characterCount(), 65536 + 1);
  EXPECT_EQ(form.OutputRichEdit->document()->blockCount(), 655 + 1);
  form.AppendOutput("last\r\n");
  EXPECT_EQ(form.OutputRichEdit->document()->lastBlock().previous().text(), "");
  EXPECT_EQ(form.OutputRichEdit->document()->lastBlock().previous().previous().text(), "last");
}

TEST_F(MainWindowTest, DropDownRefillsAndKeepsTheSelection) {
  SimProcess sim({"--steady", "--port", "3"});
  TForm1 form;
  ASSERT_TRUE(form.RefreshPorts("COM3"));
  for (int n = 4; n < 68; ++n)
    std::filesystem::create_symlink(sim.PtyPath(),
                                    Home.AppDir() / "dosdevices" / ("com" + std::to_string(n)));
  // What a drop-down costs is measured by bench/window, not here.
  form.PortComboBox->showPopup();
  form.PortComboBox->hidePopup();
  // The machine's own ports are listed too.
  EXPECT_GE(form.PortComboBox->count(), 65);
  EXPECT_TRUE(form.PortComboBox->currentText().startsWith("COM3"));
  EXPECT_TRUE(
      form.PortComboBox->itemText(form.PortComboBox->currentIndex() + 64).startsWith("COM67"));
  EXPECT_FALSE(form.RefreshPorts("bad name"));
  EXPECT_EQ(form.PortComboBox->currentIndex(), -1);
}

// One group of real exchanges: what the record holds and when, and the
// log's menu.
TEST_F(MainWindowTest, EveryExchangeIsRecordedBeforeTheLogShowsIt) {
  SimProcess sim({"--steady"});
  TForm1 form;
  OpenPortOf(form, sim.PortName());
  std::vector<std::string> recordWhenShown;
  QObject::connect(form.OutputRichEdit, &QPlainTextEdit::textChanged, form.OutputRichEdit, [&] {
    if (!form.OutputRichEdit->toPlainText().isEmpty())
      recordWhenShown.push_back(SessionText(Home));
  });
  Send(form, "p.v");
  ASSERT_FALSE(recordWhenShown.empty());
  EXPECT_EQ(CountOf(recordWhenShown.front(), "\texchange\tp.v\tp.v 23.5\\r\\n\t"), 1u)
      << recordWhenShown.front();
  EXPECT_EQ(CountOf(SessionText(Home), "\t" + sim.PortName() + "\topen\n"), 1u);

  // Time stamps go before new lines, but the empty line the answer's own
  // CR LF leaves stays empty; the record keeps its own format.
  form.SessionLog->TimeStampsAction->trigger();
  Send(form, "p.v");
  const std::string shown = LogText(form);
  const std::string stamped = shown.substr(shown.find("\n\n") + 2);
  const std::regex stamp(R"(\d\d:\d\d:\d\d\.\d{3} 3\. p\.v 23\.5\n\n)");
  EXPECT_TRUE(std::regex_match(stamped, stamp)) << shown;

  // What the view shows, copied and saved as it is.
  form.SessionLog->SelectAllAction->trigger();
  QTest::keyClick(form.OutputRichEdit, Qt::Key_C, Qt::ControlModifier);
  EXPECT_EQ(QGuiApplication::clipboard()->text(), form.OutputRichEdit->toPlainText());
  const auto saved = Home.Path() / "log copy.txt";
  form.SessionLog->SaveLogAs(saved.string());
  EXPECT_EQ(ReadFile(saved), shown);

  // Recording off: exchanges go on unrecorded; Delete clears only the view.
  form.SessionLog->RecordSessionAction->trigger();
  const std::string before = SessionText(Home);
  Send(form, "p.v");
  QTest::keyClick(form.OutputRichEdit, Qt::Key_Delete);
  EXPECT_EQ(LogText(form), "");
  EXPECT_EQ(SessionText(Home), before);
  form.SessionLog->RecordSessionAction->trigger();
  QTest::mouseClick(form.SpeedButton1, Qt::LeftButton);
  EXPECT_EQ(CountOf(SessionText(Home), "\t" + sim.PortName() + "\tclose\n"), 1u);
  EXPECT_TRUE(Errors.Messages.empty());
}

TEST_F(MainWindowTest, ARecordThatCannotBeWrittenShowsOneErrorAndExchangesGoOn) {
  std::filesystem::create_directories(Home.AppDir());
  std::ofstream(Home.Path() / "plain file") << "x";
  const std::string folder = (Home.Path() / "plain file" / "sessions").string();
  std::ofstream(Home.AppDir() / "user.reg", std::ios::binary)
      << "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Tavrin\\Private\\Marrowlink\\Recording]"
         "\r\n\"Folder\"=\""
      << folder << "\"\r\n";
  SimProcess sim({"--steady"});
  TForm1 form;
  OpenPortOf(form, sim.PortName());
  Send(form, "p.v");
  Send(form, "p.v");
  ASSERT_TRUE(WaitUntil([&] { return !Errors.Messages.empty(); }, 2000));
  QTest::qWait(50);
  ASSERT_EQ(Errors.Messages.size(), 1u);
  EXPECT_NE(Errors.Messages[0].find(folder), std::string::npos) << Errors.Messages[0];
  EXPECT_NE(Errors.Messages[0].find("Not a directory"), std::string::npos) << Errors.Messages[0];
  EXPECT_FALSE(form.SessionLog->RecordSessionAction->isChecked());
  EXPECT_EQ(CountOf(LogText(form), "p.v 23.5"), 2u);
}

// A disk that takes only part of the log: the file size limit refuses the
// write as a full disk does. The box names the path and the system's
// reason, and nothing of the log is left under the name chosen; a file of
// that name keeps what it held.
TEST_F(MainWindowTest, SaveAsThatCannotWriteTheWholeLogSaysSoAndLeavesNoPart) {
  TForm1 form;
  form.AppendOutput(std::string(8192, 'x'));
  const std::filesystem::path folder = Home.Path() / "logs";
  std::filesystem::create_directories(folder);
  const std::filesystem::path chosen = folder / "new.txt";
  const std::filesystem::path earlier = folder / "earlier.txt";
  std::ofstream(earlier) << "earlier log";

  const auto fileSizeSignal = std::signal(SIGXFSZ, SIG_IGN);
  rlimit unlimited{};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &unlimited), 0);
  const rlimit small{1024, unlimited.rlim_max};
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
  ChooseFileWhenAsked([] { return qobject_cast<QFileDialog*>(QApplication::activeModalWidget()); },
                      chosen);
  form.SessionLog->SaveAsAction->trigger();
  EXPECT_THROW(form.SessionLog->SaveLogAs(earlier.string()), std::exception);
  ::setrlimit(RLIMIT_FSIZE, &unlimited);
  std::signal(SIGXFSZ, fileSizeSignal);

  ASSERT_EQ(Errors.Messages.size(), 1u);
  EXPECT_NE(Errors.Messages[0].find(chosen.string()), std::string::npos) << Errors.Messages[0];
  EXPECT_NE(Errors.Messages[0].find(std::strerror(EFBIG)), std::string::npos) << Errors.Messages[0];
  EXPECT_FALSE(std::filesystem::exists(chosen));
  EXPECT_EQ(ReadFile(earlier), "earlier log");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder),
                          std::filesystem::directory_iterator()),
            1);
}
