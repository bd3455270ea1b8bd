// Playback files that no editor would write: binary bytes, a 10 MB line, no
// line end at all. Each is played whole, byte for byte, and the window keeps
// turning its event loop between the exchanges.
#include "ui/TestUnit.h"

#include "tests/support/SimProcess.h"
#include "tests/support/TempDir.h"
#include "tests/ui/UiTestSupport.h"

#include <QComboBox>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <fstream>
#include <random>
#include <vector>

namespace {

// The pauses of the event loop while playback runs that are longer than
// an ordinary exchange (about 450 ms), in ms.
class LoopWatch {
public:
  LoopWatch() {
    Clock.start();
    QObject::connect(&Timer, &QTimer::timeout, [this] {
      if (const qint64 gap = Clock.restart(); gap >= OrdinaryExchangeMs)
        Long.push_back(gap);
    });
    Timer.start(10);
  }
  static constexpr qint64 OrdinaryExchangeMs = 1000;
  std::vector<qint64> Long;

private:
  QTimer Timer;
  QElapsedTimer Clock;
};

class HostilePlaybackTest : public testing::Test {
protected:
  // Plays bytes as a file; returns the pauses of the event loop longer than
  // an ordinary exchange.
  std::vector<qint64> Play(const std::string& bytes) {
    const std::filesystem::path path = Home.Path() / "hostile.txt";
    std::ofstream(path, std::ios::binary) << bytes;
    ChooseFileWhenAsked(Form, path);
    LoopWatch watch;
    QTest::mouseClick(Form.Button1, Qt::LeftButton);
    EXPECT_TRUE(WaitUntil([&] { return !Form.Playback.Playing(); }, 60000));
    return watch.Long;
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
    ASSERT_TRUE(Form.Protocol);
  }
};

using Pauses = std::vector<qint64>;

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

  EXPECT_EQ(Play(bytes), Pauses{}) << "the window froze";
  EXPECT_EQ(Recorded(), expected);
  EXPECT_EQ(LogText(Form), "1. (no answer)\n2. (no answer)\n3. (no answer)\n");
  EXPECT_TRUE(Errors.Messages.empty());
}

TEST_F(HostilePlaybackTest, ATenMegabyteLineIsSentWholeAndPlaybackGoesOn) {
  const std::string huge(10 * 1024 * 1024, '7');
  // Reading the line, showing it and carrying 10 MB over the line is one
  // pause, longer than an ordinary exchange but not a freeze; the lines
  // around it go as usual.
  const Pauses pauses = Play("p.v\n" + huge + "\nF0\n");
  ASSERT_LE(pauses.size(), 1u);
  EXPECT_LT(pauses.empty() ? 0 : pauses.front(), 4000);
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
  EXPECT_EQ(Play("p.v"), Pauses{}) << "the window froze";
  EXPECT_EQ(Recorded(), "p.v\r\n");
  EXPECT_EQ(LogText(Form), "1. p.v 23.5\n\n");
  EXPECT_EQ(Form.MessageComboBox->currentText(), "p.v");
}
