#include "tools/probe/Probe.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextStream>

#include <utility>

namespace {

constexpr int TickMs = 100;

template <class T> T* Control(QWidget* window, const char* name) {
  return window != nullptr ? window->findChild<T*>(QLatin1String(name)) : nullptr;
}

QWidget* WindowWith(const char* controlName) {
  for (QWidget* window : QApplication::topLevelWidgets())
    if (window->findChild<QWidget*>(QLatin1String(controlName)) != nullptr)
      return window;
  return nullptr;
}

void Click(QWidget* window, const char* name) {
  if (auto* button = Control<QAbstractButton>(window, name); button && button->isEnabled())
    button->click();
}

// Runs a step of the mission once at a time: the step's clicks may open a
// modal box whose own event loop ticks the probe again.
class TBusy {
public:
  explicit TBusy(bool& busy) : Busy(busy) { Busy = true; }
  ~TBusy() { Busy = false; }
  TBusy(const TBusy&) = delete;
  TBusy& operator=(const TBusy&) = delete;

private:
  bool& Busy;
};

} // namespace

TProbe::TProbe(QString folder) : Folder(std::move(folder)) {
  QFile conf(Folder + QStringLiteral("/probe.conf"));
  if (conf.open(QIODevice::ReadOnly | QIODevice::Text)) {
    QTextStream in(&conf);
    for (QString line = in.readLine(); !line.isNull(); line = in.readLine())
      if (const qsizetype at = line.indexOf(QLatin1Char('=')); at > 0)
        Conf[line.left(at).trimmed()] = line.mid(at + 1).trimmed();
  }
  Clock.start();
  NextReopenMs = 20000;
  connect(&Watch, &QTimer::timeout, this, [this] {
    AnswerErrorBox();
    ChooseFile();
  });
  connect(&Mission, &QTimer::timeout, this, [this] { Tick(); });
  Watch.start(TickMs / 2);
  Mission.start(TickMs);
}

void TProbe::Tick() {
  if (Busy || QApplication::activeModalWidget() != nullptr || !FindWindows())
    return;
  const TBusy busy(Busy);
  // In the chaos a vanished device may have closed the port at the warm-up;
  // a sample taken then would count the port's reopening as a leak.
  const bool chaos = Conf[QStringLiteral("mission")] != QLatin1String("session");
  if (!Sampled && Clock.elapsed() >= Conf[QStringLiteral("warmup")].toLongLong() * 1000 &&
      (!chaos || PortOpen())) {
    Sampled = true;
    Write(QStringLiteral("rss_start_kb"), QString::number(ResidentKb()));
    Write(QStringLiteral("fds_start"), QString::number(OpenDescriptors()));
  }
  if (Conf[QStringLiteral("mission")] == QLatin1String("session"))
    Session();
  else
    Chaos();
}

void TProbe::AnswerErrorBox() {
  auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
  if (box == nullptr || !box->isVisible() || box->property("answered").toBool())
    return;
  box->setProperty("answered", true);
  ++ErrorsShown;
  QFile errors(Folder + QStringLiteral("/errors.txt"));
  if (errors.open(QIODevice::Append | QIODevice::Text))
    errors.write(box->text().toLatin1().replace('\n', ' ') + '\n');
  Write(QStringLiteral("errors_shown"), QString::number(ErrorsShown));
  if (QAbstractButton* ok = box->button(QMessageBox::Ok))
    ok->click();
}

void TProbe::ChooseFile() {
  auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
  if (dialog == nullptr || !dialog->isVisible())
    return;
  // As the operator would: type the name into the dialog's name box.
  if (auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")))
    name->setText(Folder + QStringLiteral("/playback.txt"));
  static_cast<QDialog*>(dialog)->accept();
}

bool TProbe::FindWindows() {
  Main = WindowWith("TestButton");
  PanelMonitor = WindowWith("AddButton");
  ValueMonitor = WindowWith("Label1");
  return Main != nullptr && Main->isVisible();
}

void TProbe::Chaos() {
  const qint64 now = Clock.elapsed();
  if (!Finishing && QFile::exists(Folder + QStringLiteral("/finish"))) {
    Finishing = true;
    Write(QStringLiteral("rss_end_kb"), QString::number(ResidentKb()));
    Write(QStringLiteral("fds_end"), QString::number(OpenDescriptors()));
    // The line may date from before the port last vanished.
    if (PortOpen())
      ClickOpen();
    NextOpenTryMs = 0;
  }
  if (!PortOpen()) {
    if (now >= NextOpenTryMs) {
      NextOpenTryMs = now + 3000;
      ClickOpen();
    }
    return;
  }
  if (Finishing) {
    FinalSend();
    CloseProgram();
    return;
  }
  if (ValueMonitor != nullptr && !ValueMonitor->isVisible())
    ShowValueMonitor();
  if (now >= NextReopenMs) {
    // An operator who sees the values stop closes and reopens the port.
    NextReopenMs = now + std::uniform_int_distribution<int>(15000, 40000)(Random);
    ClickOpen();
    ClickOpen();
    Write(QStringLiteral("reopens"), QString::number(++Reopens));
  }
}

void TProbe::Session() {
  const qint64 now = Clock.elapsed();
  if (now < StepDueMs)
    return;
  const auto next = [&](int ms) {
    ++Step;
    StepDueMs = now + ms;
  };
  switch (Step) {
  case 0:
    if (auto* ports = Control<QComboBox>(Main, "PortComboBox"); ports && ports->currentIndex() < 0)
      ports->setCurrentIndex(ports->findText(Conf[QStringLiteral("port")], Qt::MatchContains));
    if (!PortOpen())
      ClickOpen();
    next(500);
    break;
  case 1:
    Send(QStringLiteral("p.v"));
    Send(QStringLiteral("F0"));
    Send(QStringLiteral("unknown"));
    Write(QStringLiteral("send_answered"), LastLogLine().contains(QLatin1String("(no answer)"))
                                               ? QStringLiteral("1")
                                               : QStringLiteral("0"));
    next(0);
    break;
  case 2:
    Click(Main, "MonitorCheckBox");
    Click(PanelMonitor, "AddButton");
    Click(PanelMonitor, "AddButton");
    Click(PanelMonitor, "ShowEditCheckBox");
    next(4000);
    break;
  case 3:
    Click(PanelMonitor, "RemoveButton");
    ShowValueMonitor();
    next(4000);
    break;
  case 4:
    Click(Main, "ValueMonitorCheckBox");
    Click(Main, "MonitorCheckBox");
    Click(Main, "Button1");
    next(5000);
    break;
  case 5:
    Click(Main, "CycleCheckBox");
    next(3000);
    break;
  case 6:
    Click(Main, "CycleCheckBox");
    ClickOpen();
    next(1000);
    break;
  default:
    Write(QStringLiteral("rss_end_kb"), QString::number(ResidentKb()));
    Write(QStringLiteral("fds_end"), QString::number(OpenDescriptors()));
    CloseProgram();
    break;
  }
}

void TProbe::FinalSend() {
  QElapsedTimer took;
  took.start();
  Send(QStringLiteral("s.p"));
  Write(QStringLiteral("send_ms"), QString::number(took.elapsed()));
  Write(QStringLiteral("send_answered"), LastLogLine().endsWith(QLatin1String(". s.p 25.0"))
                                             ? QStringLiteral("1")
                                             : QStringLiteral("0"));
}

void TProbe::CloseProgram() {
  Mission.stop();
  Write(QStringLiteral("errors_shown"), QString::number(ErrorsShown));
  Write(QStringLiteral("done"), QStringLiteral("1"));
  Main->close();
}

bool TProbe::PortOpen() const {
  auto* open = Control<QPushButton>(Main, "SpeedButton1");
  return open != nullptr && open->isChecked();
}

void TProbe::ClickOpen() {
  Click(Main, "SpeedButton1");
}

void TProbe::ShowValueMonitor() {
  if (auto* values = Control<QCheckBox>(Main, "ValueMonitorCheckBox");
      values && !values->isChecked())
    Click(Main, "ValueMonitorCheckBox");
}

void TProbe::Send(const QString& command) {
  if (auto* message = Control<QComboBox>(Main, "MessageComboBox"))
    message->setEditText(command);
  Click(Main, "TestButton");
}

QString TProbe::LastLogLine() const {
  auto* log = Control<QPlainTextEdit>(Main, "OutputRichEdit");
  if (log == nullptr)
    return {};
  const QStringList lines = log->toPlainText().split(QLatin1Char('\n'), Qt::SkipEmptyParts);
  return lines.isEmpty() ? QString() : lines.back();
}

// Rewrites probe.out with the value set, so the file is whole whenever the
// program ends.
void TProbe::Write(const QString& key, const QString& value) {
  Out[key] = value;
  QFile out(Folder + QStringLiteral("/probe.out"));
  if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text))
    return;
  QTextStream stream(&out);
  for (const auto& [name, text] : Out)
    stream << name << '=' << text << '\n';
}

long TProbe::ResidentKb() {
  QFile status(QStringLiteral("/proc/self/status"));
  if (!status.open(QIODevice::ReadOnly | QIODevice::Text))
    return -1;
  for (QByteArray line = status.readLine(); !line.isEmpty(); line = status.readLine())
    if (line.startsWith("VmRSS:"))
      return line.mid(6).trimmed().split(' ').front().toLong();
  return -1;
}

long TProbe::OpenDescriptors() {
  return static_cast<long>(
      QDir(QStringLiteral("/proc/self/fd"))
          .entryList(QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot)
          .size());
}
