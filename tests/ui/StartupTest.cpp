#include "ui/TestUnit.h"

#include "settings/DatabaseUnit.h"
#include "settings/SettingNames.h"
#include "tests/support/SimProcess.h"
#include "tests/support/TempDir.h"
#include "tests/ui/MonitorRig.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/DropDownComboBox.h"
#include "ui/LogRecording.h"

#include <QCheckBox>
#include <QGuiApplication>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QTest>

#include <gtest/gtest.h>

namespace {

using Strings = std::vector<std::string>;

class StartupTest : public testing::Test {
protected:
  std::string SettingsFile() const { return ReadFile(Home.AppDir() / "user.reg"); }
  static bool Has(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
  }
  // The values of one key's section of the settings file.
  static long ValuesOfKey(const std::string& text, const std::string& key) {
    const std::string header = "[HKEY_CURRENT_USER\\Software\\Tavrin\\Private\\" + key + "]";
    const std::size_t start = text.find(header);
    if (start == std::string::npos)
      return -1;
    const std::size_t end = text.find("\n[", start);
    return std::count(text.begin() + static_cast<long>(start),
                      end == std::string::npos ? text.end() : text.begin() + static_cast<long>(end),
                      '=');
  }

  ScopedConfigHome Home;
  ErrorRecorder Errors;
};

void ShowAndActivate(TForm1& form) {
  form.show();
  ASSERT_TRUE(WaitUntil([&] { return form.Activated; }, 2000));
}

} // namespace

TEST_F(StartupTest, FirstRunWritesEveryValueAtShutdown) {
  {
    TForm1 form;
    ShowAndActivate(form);
    EXPECT_FALSE(form.Line.IsOpen());
    form.MessageComboBox->setEditText("p.v");
  }
  const std::string saved = SettingsFile();
  EXPECT_TRUE(Has(saved, "\"Protocol Index\"=dword:00000000")) << saved;
  EXPECT_TRUE(Has(saved, "\"Baudrate Index\"=dword:00000003"));
  EXPECT_TRUE(Has(saved, "\"Address\"=\"255\""));
  EXPECT_TRUE(Has(saved, "\"Message\"=\"p.v\""));
  EXPECT_TRUE(Has(saved, "\"Port\"=\"\""));
  EXPECT_TRUE(Has(saved, "\"Open\"=dword:00000000"));
  EXPECT_EQ(ValuesOfKey(saved, "Marrowlink"), 34);
  EXPECT_EQ(ValuesOfKey(saved, "Marrowlink\\Recording"), 5) << saved;
  EXPECT_EQ(ValuesOfKey(saved, "Marrowlink\\Commands"), 4) << "no buttons, the window's place";
  EXPECT_TRUE(Errors.Messages.empty());
}

TEST_F(StartupTest, SavedPortOpensAtStartWithItsRepetition) {
  SimProcess sim({"--steady", "--port", "7"});
  WriteSettings(Home.AppDir(),
                {"\"Port\"=\"COM7\"", "\"Open\"=dword:00000001", "\"Cycle\"=dword:00000001",
                 "\"Message\"=\"zz\"", "\"Left\"=dword:00000028", "\"Top\"=dword:00000014"});
  {
    TForm1 form;
    EXPECT_TRUE(form.PortComboBox->currentText().startsWith("COM7"));
    EXPECT_EQ(form.MessageComboBox->currentText(), "zz");
    EXPECT_EQ(form.pos(), QPoint(40, 20));
    ShowAndActivate(form);
    EXPECT_TRUE(form.Line.IsOpen());
    EXPECT_TRUE(form.SpeedButton1->isChecked());
    EXPECT_TRUE(form.TestButton->isEnabled());
    EXPECT_FALSE(form.PortComboBox->isEnabled());
    EXPECT_TRUE(form.CycleCheckBox->isChecked());
    EXPECT_EQ(form.CycleTimer.interval(), 1000);
    // The button is down, so one press closes the port.
    QTest::mouseClick(form.SpeedButton1, Qt::LeftButton);
    EXPECT_FALSE(form.Line.IsOpen());
    form.move(50, 60);
  }
  const std::string saved = SettingsFile();
  EXPECT_TRUE(Has(saved, "\"Port\"=\"COM7\""));
  EXPECT_TRUE(Has(saved, "\"Open\"=dword:00000001"));
  EXPECT_TRUE(Has(saved, "\"Left\"=dword:00000032"));
  EXPECT_TRUE(Has(saved, "\"Top\"=dword:0000003c"));
  EXPECT_TRUE(Errors.Messages.empty()) << Errors.Messages.front();
}

TEST_F(StartupTest, EmptySavedPortClearsOpen) {
  WriteSettings(Home.AppDir(), {"\"Port\"=\"\"", "\"Open\"=dword:00000001"});
  {
    TForm1 form;
    ShowAndActivate(form);
    EXPECT_FALSE(form.Line.IsOpen());
  }
  EXPECT_TRUE(Has(SettingsFile(), "\"Open\"=dword:00000000"));
  EXPECT_TRUE(Errors.Messages.empty());
}

// An adapter unplugged for one start: the station's port and its Open flag
// survive it, and the next start with the adapter back opens the port.
TEST_F(StartupTest, AbsentSavedPortFailsCleanlyAndIsKept) {
  WriteSettings(Home.AppDir(), {"\"Port\"=\"COM7\"", "\"Open\"=dword:00000001"});
  {
    TForm1 form;
    EXPECT_EQ(form.PortComboBox->currentIndex(), -1);
    ShowAndActivate(form);
    EXPECT_EQ(Errors.Messages, Strings{"List index out of bounds (-1)"});
    EXPECT_FALSE(form.Line.IsOpen());
    EXPECT_TRUE(form.PortComboBox->isEnabled());
    EXPECT_FALSE(form.SpeedButton1->isChecked());
  }
  const std::string saved = SettingsFile();
  EXPECT_TRUE(Has(saved, "\"Open\"=dword:00000001"));
  EXPECT_TRUE(Has(saved, "\"Port\"=\"COM7\"")) << saved;

  SimProcess sim({"--steady", "--port", "7"});
  TForm1 form;
  EXPECT_TRUE(form.PortComboBox->currentText().startsWith("COM7"));
  ShowAndActivate(form);
  EXPECT_TRUE(form.Line.IsOpen());
  EXPECT_EQ(Errors.Messages, Strings{"List index out of bounds (-1)"});
}

TEST_F(StartupTest, PositionOffEveryScreenOpensAtTheTopLeft) {
  WriteSettings(Home.AppDir(), {"\"Left\"=dword:00004e20", "\"Top\"=dword:fffff000"});
  TForm1 form;
  EXPECT_EQ(form.pos(), QGuiApplication::primaryScreen()->availableGeometry().topLeft());
}

TEST_F(StartupTest, UnreadableSettingsAreShownAndTheWindowStillRuns) {
  WriteSettings(Home.AppDir(), {"\"Left\"=\"not a number\""});
  {
    TForm1 form;
    ShowAndActivate(form);
    EXPECT_FALSE(Errors.Messages.empty());
    EXPECT_EQ(form.MessageComboBox->currentText(), "");
  }
}

// The session's end saves while the windows live on, as the user may still
// cancel it: the monitor's layout and the window's values reach the file,
// and the store stays for the save at exit.
TEST_F(StartupTest, SessionEndSavesTheLayoutAndTheWindowWhileTheyLiveOn) {
  TMonitorRig rig;
  rig.Panel->AddPanel();
  rig.Panel->Editors[1]->setText("F0");
  rig.Form1->MessageComboBox->setEditText("hello");
  rig.Form1->SaveSettings();
  const std::string saved = SettingsFile();
  EXPECT_EQ(ValuesOfKey(saved, "Marrowlink"), 34);
  EXPECT_TRUE(Has(saved, "\"Monitor Panels\"=dword:00000002"));
  EXPECT_TRUE(Has(saved, "\"Monitor Panel1 Command\"=\"F0\""));
  EXPECT_TRUE(Has(saved, "\"Message\"=\"hello\""));
  ASSERT_TRUE(rig.Form1->Settings);

  rig.Form1->MessageComboBox->setEditText("later");
  rig.Shutdown();
  EXPECT_TRUE(Has(SettingsFile(), "\"Message\"=\"later\""));
  EXPECT_TRUE(rig.Errors.empty());
}

// How answers end comes from the subkey Line at every Open: a change made
// while the port is open applies from the next Open on.
TEST_F(StartupTest, TheAnswerEndComesFromTheLineSubkeyAtEveryOpen) {
  SimProcess sim({"--steady", "--port", "7"});
  WriteSettings(Home.AppDir(), {"\"Port\"=\"COM7\"", "\"Open\"=dword:00000001", "",
                                "[HKEY_CURRENT_USER\\Software\\Tavrin\\Private\\Marrowlink\\Line]",
                                "\"Answer End\"=dword:00000001"});
  TForm1 form;
  ShowAndActivate(form);
  ASSERT_TRUE(form.Line.IsOpen());
  EXPECT_EQ(form.Line.Protocol()->AnswerEnd, TAnswerEnd::Line);
  TReading reading;
  form.SendAndLog("p.v", reading);
  EXPECT_EQ(reading.Answer, "p.v 23.5\r\n");
  form.LineSettings->SetInteger(Setting::AnswerEnd, 0);
  EXPECT_EQ(form.Line.Protocol()->AnswerEnd, TAnswerEnd::Line);
  QTest::mouseClick(form.SpeedButton1, Qt::LeftButton);
  QTest::mouseClick(form.SpeedButton1, Qt::LeftButton);
  ASSERT_TRUE(form.Line.IsOpen());
  EXPECT_EQ(form.Line.Protocol()->AnswerEnd, TAnswerEnd::Wait);
}

// The line's polarity comes from the subkey Line; a value there that
// cannot be read keeps the default and stays in the file as it was written.
TEST_F(StartupTest, RtsPolarityComesFromTheLineSubkey) {
  SimProcess sim({"--steady", "--port", "7"});
  const std::string subkey = "[HKEY_CURRENT_USER\\Software\\Tavrin\\Private\\Marrowlink\\Line]";
  for (const std::string value : {"dword:00000001", "\"yes\""}) {
    WriteSettings(Home.AppDir(), {"\"Port\"=\"COM7\"", "\"Open\"=dword:00000001", "", subkey,
                                  "\"RTS Active Low\"=" + value});
    {
      TForm1 form;
      ShowAndActivate(form);
      ASSERT_TRUE(form.Line.IsOpen());
      EXPECT_EQ(form.Line.Protocol()->RtsActiveLow, value == "dword:00000001");
    }
    EXPECT_TRUE(Has(SettingsFile(), "\"RTS Active Low\"=" + value)) << SettingsFile();
  }
  // Each window that ended with its port open recorded its close once.
  std::string session;
  for (const auto& file : std::filesystem::directory_iterator(Home.DataDir() / "sessions"))
    session += ReadFile(file.path());
  std::size_t closes = 0;
  for (std::size_t at = session.find("\tCOM7\tclose\n"); at != std::string::npos;
       at = session.find("\tCOM7\tclose\n", at + 1))
    ++closes;
  EXPECT_EQ(closes, 2u) << session;
  EXPECT_EQ(Errors.Messages, Strings{"Line\\RTS Active Low: a string where a dword belongs; its "
                                     "default is used, the stored value kept"});
}

// Values of the subkeys that cannot be read are named in one box at start,
// and go back to the file as they were while the rest of each subkey is
// saved with its changes.
TEST_F(StartupTest, DamagedSubkeyValuesAreNamedInOneBoxAndKeptWhileTheRestIsSaved) {
  const std::string key = "[HKEY_CURRENT_USER\\Software\\Tavrin\\Private\\Marrowlink\\";
  WriteSettings(Home.AppDir(),
                {"", key + "Recording]", "\"Keep Days\"=\"30\"", "", key + "Limits]",
                 "\"Panel5 Low\"=dword:00000001", "", key + "Line]", "\"RTS Active Low\"=hex:01"});
  {
    TMonitorRig rig;
    EXPECT_EQ(Errors.Messages,
              Strings{"Line\\RTS Active Low: binary data where a dword belongs; its default is "
                      "used, the stored value kept\r\n"
                      "Recording\\Keep Days: a string where a dword belongs; its default is used, "
                      "the stored value kept\r\n"
                      "Limits\\Panel5 Low: a dword where a string belongs; its default is used, "
                      "the stored value kept"});
    rig.Form1->SessionLog->TimeStampsAction->setChecked(true);
    rig.Panel->Watches[0].Restore({"1", "9", ""}, '.');
  }
  const std::string saved = SettingsFile();
  for (const char* kept :
       {"\"Keep Days\"=\"30\"", "\"Panel5 Low\"=dword:00000001", "\"RTS Active Low\"=hex:01",
        "\"Time Stamps\"=dword:00000001", "\"Panel0 High\"=\"9\""})
    EXPECT_TRUE(Has(saved, kept)) << kept << " in\n" << saved;
}

#ifdef MARROWLINK_PATH
// The program itself: restores the port and repetition, and a SIGTERM saves
// the settings as closing the window does.
TEST_F(StartupTest, TheProgramSavesOnSigterm) {
  const std::filesystem::path record = Home.Path() / "wire.bin";
  SimProcess sim({"--steady", "--port", "5", "--record", record.string()});
  WriteSettings(Home.AppDir(),
                {"\"Port\"=\"COM5\"", "\"Open\"=dword:00000001", "\"Cycle\"=dword:00000001",
                 "\"Message\"=\"p.v\"", "\"Left\"=dword:00000010"});
  QProcess program;
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert("QT_QPA_PLATFORM", "offscreen");
  program.setProcessEnvironment(environment);
  program.start(MARROWLINK_PATH, {});
  ASSERT_TRUE(program.waitForStarted(5000));
  EXPECT_TRUE(WaitUntil([&] { return ReadFile(record).starts_with("p.v\r\np.v\r\n"); }, 5000));
  program.terminate();
  ASSERT_TRUE(program.waitForFinished(5000));
  EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(program.exitCode(), 0);

  const std::string saved = SettingsFile();
  EXPECT_EQ(ValuesOfKey(saved, "Marrowlink"), 34);
  EXPECT_TRUE(Has(saved, "\"Port\"=\"COM5\""));
  EXPECT_TRUE(Has(saved, "\"Message\"=\"p.v\""));
  EXPECT_TRUE(Has(saved, "\"Left\"=dword:00000010"));
  EXPECT_TRUE(Has(saved, "\"Baudrate Index\"=dword:00000003"));
}
#endif
