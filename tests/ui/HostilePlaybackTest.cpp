// Playback files that no editor would write: binary bytes, a 10 MB line, no
// line end at all. Each is played whole, byte for byte, one line a tick, so
// the window is back in its event loop after every exchange.
#include "ui/TestUnit.h"

#include "tests/support/SimProcess.h"
#include "tests/support/TempDir.h"
#include "tests/ui/UiTestSupport.h"

#include <QComboBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <random>
#include <vector>

namespace {

class HostilePlaybackTest : public testing::Test {
protected:
  // Plays bytes as a file; for every tick of the playback, what the message
  // box shows and the log holds once the tick is done: "<shown bytes> <log>".
  // How long the window pauses for such a file is measured by
  // bench/playback, not here.
  std::vector<std::string> Play(const std::string& bytes) {
    const std::filesystem::path path = Home.Path() / "hostile.txt";
    std::ofstream(path, std::ios::binary) << bytes;
    ChooseFileWhenAsked(Form, path);
    TickLog ticks(Form.CycleTimer, [this] {
      return std::to_string(Form.MessageComboBox->currentText().size()) + " " + LogText(Form);
    });
    QTest::mouseClick(Form.Button1, Qt::LeftButton);
    EXPECT_TRUE(WaitUntil([&] { return !Form.Playback.Playing(); }, 120000));
    std::vector<std::string> after;
    for (const TickLog::TTick& tick : ticks.Ticks)
      after.push_back(tick.ProbeAfter);
    return after;
  }
  std::string Recorded() const { return ReadFile(Record); }

  ScopedConfigHome Home;
  ErrorRecorder Errors;
  std::filesystem::path Record = Home.Path() / "wire.bin";
  SimProcess Sim{{"--steady", "--record", Record.string()}};
  TForm1 Form;

  void SetUp() override {
    // Shown, as the operator's window is: what it draws costs time too.
    Form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&Form));
    ASSERT_TRUE(Form.RefreshPorts(Sim.PortName()));
    QTest::mouseClick(Form.SpeedButton1, Qt::LeftButton);
    ASSERT_TRUE(Form.Line.IsOpen());
  }
};

using Strings = std::vector<std::string>;

} // namespace

TEST_F(HostilePlaybackTest, BinaryBytesGoOutAsTheyAre) {
  std::mt19937 random(9);
  std::string bytes;
  for (int line = 0; line < 3; ++line) {
    for (int i = 0; i < 300; ++i) {
      // Every byte but the line end and Ctrl-Z, which ends a text file.
      char c = static_cast<char>(random() % 256);
      bytes += c == '\n' || c == '\x1a' ? '\0' : c;
    }
    bytes += '\n';
  }
  std::string expected;
  for (std::size_t start = 0; start < bytes.size();) {
    const std::size_t end = bytes.find('\n', start);
    std::string line = bytes.substr(start, end - start);
    std::erase(line, '\r');
    expected += line + "\r\n";
    start = end + 1;
  }

  const Strings ticks = Play(bytes);
  EXPECT_EQ(Recorded(), expected);
  const std::string log = "1. (no answer)\n2. (no answer)\n3. (no answer)\n";
  EXPECT_EQ(LogText(Form), log);
  ASSERT_GE(ticks.size(), 4u);
  for (std::size_t i = 0; i < 4; ++i) {
    // Appended rather than "+": GCC 12 at -O2 warns falsely (-Wrestrict) on
    // a literal plus a temporary string.
    std::string tail(1, ' ');
    tail.append(log, 0, 15 * std::min<std::size_t>(i + 1, 3));
    EXPECT_TRUE(ticks[i].ends_with(tail)) << "tick " << i << ": " << ticks[i];
  }
  EXPECT_TRUE(Errors.Messages.empty());
}

TEST_F(HostilePlaybackTest, ATenMegabyteLineIsSentWholeAndPlaybackGoesOn) {
  const std::string huge(10 * 1024 * 1024, '7');
  // The line goes out whole in its own tick, while the message box shows no
  // more of it than an edit control holds. The lines around it go as usual.
  const Strings ticks = Play("p.v\n" + huge + "\nF0\n");
  ASSERT_GE(ticks.size(), 4u);
  const std::string first = "1. p.v 23.5\n\n";
  const std::string second = first + "3. (no answer)\n";
  const std::string third = second + "4. F0 FF FE 00 00 2E 09 F6 FF\n\n";
  EXPECT_EQ(ticks[0], "3 " + first);
  EXPECT_EQ(ticks[1], "32767 " + second);
  EXPECT_EQ(ticks[2], "2 " + third);
  EXPECT_EQ(ticks[3], "2 " + third);
  const std::string recorded = Recorded();
  EXPECT_EQ(recorded.size(), huge.size() + 11);
  EXPECT_TRUE(recorded == "p.v\r\n" + huge + "\r\nF0\r\n") << "the line goes out byte for byte";
  EXPECT_EQ(LogText(Form), "1. p.v 23.5\n\n3. (no answer)\n4. F0 FF FE 00 00 2E 09 F6 FF\n\n");
  EXPECT_TRUE(Errors.Messages.empty());

  // The window still answers at once afterwards.
  Form.MessageComboBox->setEditText("p.v");
  QTest::mouseClick(Form.TestButton, Qt::LeftButton);
  EXPECT_TRUE(LogText(Form).ends_with("6. p.v 23.5\n\n"));
}

TEST_F(HostilePlaybackTest, AFileWithoutAnyLineEndIsOneLine) {
  const Strings ticks = Play("p.v");
  ASSERT_GE(ticks.size(), 2u);
  EXPECT_EQ(ticks[0], "3 1. p.v 23.5\n\n");
  EXPECT_EQ(ticks[1], ticks[0]) << "the end of the file sends nothing";
  EXPECT_EQ(Recorded(), "p.v\r\n");
  EXPECT_EQ(LogText(Form), "1. p.v 23.5\n\n");
  EXPECT_EQ(Form.MessageComboBox->currentText(), "p.v");
}
