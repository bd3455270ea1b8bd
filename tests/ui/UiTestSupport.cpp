#include "tests/ui/UiTestSupport.h"

#include "ui/TestUnit.h"

#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>
#include <QTimer>

#include <fstream>
#include <sstream>

bool WaitUntil(const std::function<bool()>& done, int timeoutMs) {
  return QTest::qWaitFor(done, timeoutMs);
}

void WriteSettings(const std::filesystem::path& appDir, const std::vector<std::string>& values) {
  std::filesystem::create_directories(appDir);
  std::ofstream file(appDir / "user.reg", std::ios::binary);
  file << "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Tavrin\\Private\\Marrowlink]\r\n";
  for (const std::string& value : values)
    file << value << "\r\n";
}

std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

std::map<std::string, int> CommandsReceived(const std::filesystem::path& record) {
  std::map<std::string, int> counts;
  std::istringstream wire(ReadFile(record));
  for (std::string line; std::getline(wire, line);)
    ++counts[line.substr(0, line.find('\r'))];
  return counts;
}

std::string LogText(const TForm1& form) {
  return form.OutputRichEdit->toPlainText().toLatin1().toStdString();
}

std::vector<std::string> HistoryItems(const TForm1& form) {
  std::vector<std::string> items;
  for (int i = 0; i < form.MessageComboBox->count(); ++i)
    items.push_back(form.MessageComboBox->itemText(i).toLatin1().toStdString());
  return items;
}

void ChooseFileWhenAsked(const TForm1& form, const std::filesystem::path& path) {
  ChooseFileWhenAsked([&form] { return form.OpenDialog1; }, path);
}

void ChooseFileWhenAsked(const std::function<QFileDialog*()>& dialogOf,
                         const std::filesystem::path& path) {
  auto* poll = new QTimer(qApp);
  poll->setInterval(10);
  QObject::connect(poll, &QTimer::timeout, poll, [poll, dialogOf, path, ticks = 0]() mutable {
    QFileDialog* dialog = dialogOf();
    if (dialog == nullptr || !dialog->isVisible()) {
      if (ticks > 0) {
        poll->stop();
        poll->deleteLater();
      }
      return;
    }
    ++ticks;
    // As the operator would: type the path into the focused name box.
    // selectFile leaves a focused box unchanged.
    auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    if (name == nullptr)
      return;
    name->setText(QString::fromStdString(path.string()));
    static_cast<QDialog*>(dialog)->accept();
  });
  poll->start();
}

TickLog::TickLog(QTimer& timer, std::function<std::string()> probe)
    : Timer(timer), Probe(std::move(probe)) {
  Clock.start();
  Timer.installEventFilter(this);
  // Slots run in the order they were connected: the window's came first.
  connect(&Timer, &QTimer::timeout, this, [this] {
    if (Ticks.empty())
      return;
    Ticks.back().RemainingAfter = Timer.remainingTime();
    if (Probe)
      Ticks.back().ProbeAfter = Probe();
  });
}

bool TickLog::eventFilter(QObject* watched, QEvent* event) {
  if (watched == &Timer && event->type() == QEvent::Timer)
    Ticks.push_back({Clock.elapsed(), -1, {}});
  return QObject::eventFilter(watched, event);
}
