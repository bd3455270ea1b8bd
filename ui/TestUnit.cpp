#include "ui/TestUnit.h"

#include "base/Exception.h"
#include "base/Format.h"
#include "record/SessionRecord.h"
#include "serial/SerialPortList.h"
#include "settings/CommandsDatabase.h"
#include "settings/LimitsDatabase.h"
#include "settings/LineDatabase.h"
#include "settings/MarrowlinkDatabase.h"
#include "settings/SettingNames.h"
#include "ui/ApplicationErrors.h"
#include "ui/ApplicationTitle.h"
#include "ui/CommandsWindow.h"
#include "ui/DropDownComboBox.h"
#include "ui/K4410R_Monitor.h"
#include "ui/LogRecording.h"
#include "ui/MonitorWindow.h"
#include "ui/QtText.h"
#include "ui/WindowPlacement.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFile>
#include <QFileDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTextBlock>
#include <QTextCursor>

#include <utility>

namespace {

constexpr int RepeatInterval = 1000;
constexpr int PlaybackInterval = 200;
constexpr int OutputTop = 120;
constexpr const char* NoPortOpen = "No port is open";
// The most the message box's edit holds, as an edit control does by default.
constexpr std::size_t MaxShownMessage = 32767;

// The designed font is a Windows bitmap font; elsewhere a sans font of the
// same pixel height stands in.
QFont DesignFont() {
  QFont font(QStringLiteral("MS Sans Serif"));
  font.setStyleHint(QFont::SansSerif);
  font.setPixelSize(10);
  return font;
}

// A check box of the design at left, top, in its own size, disabled until
// the window enables it.
QCheckBox* DisabledCheckBox(QWidget& parent, const char* caption, const char* name, int left,
                            int top) {
  auto* box = new QCheckBox(QString::fromLatin1(caption), &parent);
  box->setObjectName(QString::fromLatin1(name));
  box->move(left, top);
  box->adjustSize();
  box->setEnabled(false);
  return box;
}

} // namespace

TForm1::TForm1()
    : Line(std::make_unique<TSessionRecord>(DefaultSessionFolder()),
           {[this](const std::string& message) { SessionLog->RecordFailed(message); },
            [this] { ClosePort(); }}),
      Turns([this] {
        // Between two turns the loop turns, so input and painting get theirs.
        QTimer::singleShot(0, this, [this] { Guarded([&] { Turns.RunWaiting(); }); });
      }) {
  CycleTurns = Turns.Add([this] { CycleTimerTimer(); });
  Commands = std::make_unique<TCommandsWindow>(
      Turns, [this](const std::string& bytes) { SendAndLog(bytes); });
  CreateControls();
  BindEvents();
  Guarded([this] { FormCreate(); });
}

TForm1::~TForm1() {
  Guarded([this] { FormDestroy(); });
}

void TForm1::CreateControls() {
  setFont(DesignFont());
  resize(385, 317);
  setMinimumSize(228, 238);

  PortLabel = new QLabel(QStringLiteral("Port"), this);
  PortLabel->move(7, 20);
  PortLabel->adjustSize();

  PortComboBox = new TDropDownComboBox(this);
  PortComboBox->setObjectName(QStringLiteral("PortComboBox"));
  PortComboBox->setGeometry(60, 13, 245, 21);

  SpeedButton1 = new QPushButton(QStringLiteral("Open"), this);
  SpeedButton1->setObjectName(QStringLiteral("SpeedButton1"));
  SpeedButton1->setCheckable(true);
  // A speed button: clicking it leaves the focus where it was, so the next
  // Enter still sends instead of closing the port again.
  SpeedButton1->setFocusPolicy(Qt::NoFocus);
  SpeedButton1->setGeometry(317, 13, 57, 21);

  MessageLabel = new QLabel(QStringLiteral("Message"), this);
  MessageLabel->move(8, 56);
  MessageLabel->adjustSize();

  MessageComboBox = new QComboBox(this);
  MessageComboBox->setObjectName(QStringLiteral("MessageComboBox"));
  MessageComboBox->setEditable(true);
  // The history is kept by RememberMessage alone.
  MessageComboBox->setInsertPolicy(QComboBox::NoInsert);
  MessageComboBox->setGeometry(60, 50, 245, 21);
  MessageComboBox->setEditText(QStringLiteral("inp"));
  // Real keys reach the box, which hands them to its edit line unfiltered;
  // test key clicks reach the edit line itself. Both are watched.
  MessageComboBox->installEventFilter(this);
  MessageComboBox->lineEdit()->installEventFilter(this);

  TestButton = new QPushButton(QStringLiteral("Send"), this);
  TestButton->setObjectName(QStringLiteral("TestButton"));
  TestButton->setDefault(true);
  TestButton->setGeometry(317, 50, 60, 21);
  TestButton->setEnabled(false);

  MonitorCheckBox = DisabledCheckBox(*this, "&Monitor", "MonitorCheckBox", 60, 78);
  ValueMonitorCheckBox = DisabledCheckBox(*this, "&Values", "ValueMonitorCheckBox", 140, 78);
  CycleCheckBox = DisabledCheckBox(*this, "&Cycle", "CycleCheckBox", 60, 96);

  // Alt+D: Alt+C is Cycle's.
  CommandsCheckBox = DisabledCheckBox(*this, "Comman&ds", "CommandsCheckBox", 140, 96);
  Commands->AddShortcuts(*this);

  Button1 = new QPushButton(QStringLiteral("Send File"), this);
  Button1->setObjectName(QStringLiteral("Button1"));
  Button1->setGeometry(317, 88, 60, 21);

  OutputRichEdit = new QPlainTextEdit(this);
  OutputRichEdit->setObjectName(QStringLiteral("OutputRichEdit"));
  OutputRichEdit->setReadOnly(true);
  // A log has nothing to undo; an undo history would grow with every line.
  OutputRichEdit->setUndoRedoEnabled(false);
  OutputRichEdit->setLineWrapMode(QPlainTextEdit::NoWrap);
  OutputRichEdit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  OutputRichEdit->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  OutputRichEdit->setGeometry(0, OutputTop, width(), height() - OutputTop);
  OutputRichEdit->installEventFilter(this);
  SessionLog = new TLogRecording(*OutputRichEdit, Line);

  CycleTimer.setInterval(RepeatInterval);
}

void TForm1::BindEvents() {
  connect(SpeedButton1, &QPushButton::clicked, this,
          [this](bool down) { Guarded([&] { SpeedButton1Click(down); }); });
  connect(TestButton, &QPushButton::clicked, this, [this] { Guarded([&] { TestButtonClick(); }); });
  connect(PortComboBox, &TDropDownComboBox::DropDown, this,
          [this] { Guarded([&] { PortComboBoxDropDown(); }); });
  connect(MonitorCheckBox, &QCheckBox::clicked, this,
          [this](bool checked) { Guarded([&] { MonitorCheckBoxClick(checked); }); });
  connect(ValueMonitorCheckBox, &QCheckBox::clicked, this,
          [this](bool checked) { Guarded([&] { ValueMonitorCheckBoxClick(checked); }); });
  connect(CommandsCheckBox, &QCheckBox::clicked, this,
          [this](bool checked) { Guarded([&] { CommandsCheckBoxClick(checked); }); });
  connect(Commands.get(), &TCommandsWindow::VisibilityChanged, this,
          [this] { Guarded([&] { SyncCommandsCheck(); }); });
  // Also when the program changes the state, as the repeat logic relies on.
  connect(CycleCheckBox, &QCheckBox::toggled, this,
          [this](bool checked) { Guarded([&] { CycleCheckBoxClick(checked); }); });
  connect(Button1, &QPushButton::clicked, this, [this] { Guarded([&] { Button1Click(); }); });
  connect(&CycleTimer, &QTimer::timeout, this, [this] { Guarded([&] { Turns.Due(CycleTurns); }); });
}

void TForm1::FormCreate() {
  Ports = std::make_unique<TSerialPortList>();
  try {
    Settings = std::make_unique<TMarrowlinkDatabase>();
  } catch (const std::exception& error) {
    // The window still runs, with the designed state and nothing to save.
    PresentError(error.what());
  }
  if (Settings && !Settings->LoadError().empty())
    PresentError(Settings->LoadError());
  try {
    LineSettings = std::make_unique<TLineDatabase>();
  } catch (const std::exception&) {
    // The line is then driven as designed.
  }
  try {
    PanelLimits = std::make_unique<TLimitsDatabase>();
  } catch (const std::exception&) {
    // Every panel then runs without limits.
  }
  try {
    auto commands = std::make_unique<TCommandsDatabase>();
    Commands->Load(*commands);
    CommandSettings = std::move(commands);
  } catch (const std::exception&) {
    // The Commands window then starts empty.
  }
  SessionLog->Load();
  // One box for the subkeys' values that could not be read.
  if (const std::string damaged = DamagedValuesReport(
          {LineSettings.get(), SessionLog->Choices(), PanelLimits.get(), CommandSettings.get()});
      !damaged.empty())
    PresentError(damaged);
  setWindowTitle(QString::fromLatin1(ApplicationTitle));
  RestorePosition();
  const std::string port = Settings ? Settings->GetString(Setting::Port) : std::string();
  if (!RefreshPorts(port) && Settings)
    Settings->SetBoolean(Setting::Open, false);
  SetMessageText(Settings ? Settings->GetString(Setting::Message) : std::string());
}

void TForm1::RestorePosition() {
  const int left = Settings ? Settings->GetInteger(Setting::Left) : 0;
  const int top = Settings ? Settings->GetInteger(Setting::Top) : 0;
  RestoreOnScreens(*this, left, top, size());
}

void TForm1::FormActivate() {
  if (Activated)
    return;
  Activated = true;
  if (!Settings)
    return;
  if (Settings->GetBoolean(Setting::Open))
    OpenPort();
  if (Settings->GetBoolean(Setting::Monitor) && PanelMonitor != nullptr)
    PanelMonitor->show();
  if (CommandSettings && CommandSettings->GetBoolean(Setting::Visible))
    Commands->show();
  // The saved repeat state resumes once the port it repeats on is open.
  if (Settings->GetBoolean(Setting::Cycle) && Line.IsOpen())
    CycleCheckBox->setChecked(true);
}

void TForm1::SaveSettings() {
  // The order of the program's end: the panel monitor's layout, then the
  // main window's own values, then the stores, written together.
  SaveMonitorLayout();
  if (!Settings)
    return;
  Settings->SetInteger(Setting::Left, x());
  Settings->SetInteger(Setting::Top, y());
  // No entry is selected when the saved port was absent at start (an
  // unplugged adapter): the saved port stays, so the next start finds it.
  if (const std::string port = SelectedPortName(); !port.empty())
    Settings->SetString(Setting::Port, port);
  Settings->SetInteger(Setting::ProtocolIndex, 0);
  Settings->SetInteger(Setting::BaudrateIndex, 3);
  Settings->SetString(Setting::Address, "255");
  Settings->SetString(Setting::Message, MessageText());
  // Stores of sub-keys follow the main store; each writes back the values
  // it could not read as they were. One that could not read the file at
  // all holds only defaults, which must not replace what the file holds.
  if (CommandSettings)
    Commands->Save(*CommandSettings);
  std::vector<TDatabase*> stores{Settings.get()};
  for (TDatabase* store :
       std::initializer_list<TDatabase*>{LineSettings.get(), SessionLog->StoreChoices(),
                                         PanelLimits.get(), CommandSettings.get()})
    if (store != nullptr && store->HiveProblem().empty())
      stores.push_back(store);
  SaveDatabases(stores);
}

void TForm1::FormDestroy() {
  if (Destroyed)
    return;
  Destroyed = true;
  CycleTimer.stop();
  // A port still open ends with the program; the record says so.
  Line.Close();
  // Freed also when the save raises.
  struct TRelease {
    TForm1& Form;
    ~TRelease() {
      Form.Settings.reset();
      Form.LineSettings.reset();
      Form.Ports.reset();
    }
  } release{*this};
  SaveSettings();
}

void TForm1::OpenPort() {
  if (Line.IsOpen())
    throw Exception("Could not create second port object");
  try {
    PortComboBox->setEnabled(false);
    const int index = PortComboBox->currentIndex();
    if (index < 0 || static_cast<std::size_t>(index) >= PortEntries.size())
      throw Exception(Format("List index out of bounds (%d)", index));
    // The subkey Line is read at every open, so a change applies at the next.
    const bool rtsActiveLow = LineSettings && LineSettings->GetBoolean(Setting::RtsActiveLow);
    const TAnswerEnd answerEnd =
        AnswerEndOf(LineSettings ? LineSettings->GetInteger(Setting::AnswerEnd) : 0);
    const TSerialPort& port = *PortEntries[index].Port;
    Line.Open(port.Name, port.DevicePath(), rtsActiveLow, answerEnd);
    TestButton->setEnabled(true);
    CycleCheckBox->setEnabled(true);
    Commands->SetLineOpen(true);
    EnableMonitorCheck();
    // The button shows the port's real state, also after the automatic open.
    SpeedButton1->setChecked(true);
  } catch (...) {
    SpeedButton1->setChecked(false);
    ClosePort();
    throw;
  }
}

void TForm1::ClosePort() {
  // Playback never sends on a closed port.
  EndPlayback();
  if (ValueMonitor != nullptr)
    ValueMonitor->hide();
  TestButton->setEnabled(false);
  CycleCheckBox->setChecked(false);
  CycleCheckBox->setEnabled(false);
  // Ended playback leaves the timer running when Cycle was already off.
  CycleTimer.stop();
  Commands->SetLineOpen(false);
  Line.Close();
  SpeedButton1->setChecked(false);
  PortComboBox->setEnabled(true);
  EnableMonitorCheck();
}

std::string TForm1::SendAndLog(const std::string& text) {
  TReading reading;
  return SendAndLog(text, reading);
}

std::string TForm1::SendAndLog(const std::string& text, TReading& reading) {
  if (!Line.IsOpen())
    throw Exception(NoPortOpen);
  TestButton->setEnabled(false);
  setCursor(Qt::WaitCursor);
  struct TRestore {
    TForm1& Form;
    ~TRestore() {
      Form.unsetCursor();
      Form.TestButton->setEnabled(Form.Line.IsOpen());
    }
  } restore{*this};

  // In the record before any log shows it.
  reading = Line.Exchange(text);
  if (!Line.Protocol()->ExpectAnswer)
    return {};
  const bool answered = reading.Answered();
  std::string result = answered ? reading.Answer : std::string("(no answer)");
  try {
    ApplyLogAppend(Log.AppendNumbered(result, answered ? SessionLog->View() : TLogView::Text));
  } catch (...) {
    // The exchange happened; a log that cannot take the line must not
    // undo it.
  }
  return result;
}

void TForm1::AppendOutput(const std::string& text) {
  try {
    ApplyLogAppend(Log.Append(text, SessionLog->View()));
  } catch (...) {
    // Never fails: a lost log line is no reason to stop a monitor.
  }
}

void TForm1::RecordError(const std::string& text) {
  Line.Event(SessionKind::Error, {text});
}

void TForm1::ApplyLogAppend(const TOutputLog::TAppend& append) {
  QTextCursor cursor(OutputRichEdit->document());
  if (append.DropLines > 0) {
    cursor.movePosition(QTextCursor::Start);
    cursor.movePosition(QTextCursor::NextBlock, QTextCursor::KeepAnchor,
                        static_cast<int>(append.DropLines));
    cursor.removeSelectedText();
  }
  const std::string prefix = SessionLog->LinePrefix();
  QString text;
  for (std::size_t i = 0; i < append.Lines.size(); ++i) {
    const std::string& line = append.Lines[i];
    // The empty line an answer's own line end leaves stays empty.
    const bool ownLineEnd = i + 1 == append.Lines.size() && line.empty();
    text += ToQt(ownLineEnd ? line : prefix + line);
    text += QLatin1Char('\n');
  }
  cursor.movePosition(QTextCursor::End);
  cursor.insertText(text);
  OutputRichEdit->verticalScrollBar()->setValue(OutputRichEdit->verticalScrollBar()->maximum());
}

void TForm1::OutputRichEditClear() {
  OutputRichEdit->clear();
  Log.Clear();
}

void TForm1::RememberMessage(const std::string& text) {
  const int index = MessageComboBox->findText(ToQt(text), Qt::MatchFixedString);
  if (index < 0) {
    const QString edit = MessageComboBox->currentText();
    MessageComboBox->insertItem(0, ToQt(text));
    MessageComboBox->setEditText(edit);
    return;
  }
  const QString stored = MessageComboBox->itemText(index);
  if (index > 0) {
    MessageComboBox->removeItem(index);
    MessageComboBox->insertItem(0, stored);
  }
  MessageComboBox->setCurrentIndex(0);
  MessageComboBox->setEditText(stored);
}

bool TForm1::RefreshPorts(const std::string& preferredName) {
  std::string preferred = preferredName;
  if (preferred.empty())
    preferred = SelectedPortName();

  TPortStrings entries;
  Ports->FillStrings(entries);

  const QSignalBlocker blocker(PortComboBox);
  PortComboBox->setUpdatesEnabled(false);
  PortEntries = std::move(entries);
  PortComboBox->clear();
  for (const TPortStringsEntry& entry : PortEntries)
    PortComboBox->addItem(ToQt(entry.Text));
  PortComboBox->setCurrentIndex(-1);

  bool result = true;
  try {
    // Looked up among the entries just filled rather than through
    // FindByName, which would scan the machine's ports a second time and
    // could find a port the selector does not list. An invalid name still
    // raises first.
    const std::int32_t number = TSerialPort::PortNumberFromName(preferred);
    for (std::size_t i = 0; i < PortEntries.size(); ++i) {
      if (PortEntries[i].Port->Number == number) {
        PortComboBox->setCurrentIndex(static_cast<int>(i));
        break;
      }
    }
  } catch (const std::exception&) {
    PortComboBox->setCurrentIndex(-1);
    result = false;
  }
  PortComboBox->setUpdatesEnabled(true);
  return result;
}

std::string TForm1::SelectedPortName() const {
  const int index = PortComboBox->currentIndex();
  if (index < 0 || static_cast<std::size_t>(index) >= PortEntries.size())
    return {};
  return PortEntries[index].Port->Name;
}

void TForm1::EnableMonitorCheck() {
  MonitorCheckBox->setEnabled(true);
  ValueMonitorCheckBox->setEnabled(true);
  CommandsCheckBox->setEnabled(true);
}

void TForm1::SyncMonitorCheck() {
  MonitorCheckBox->setChecked(PanelMonitor != nullptr && PanelMonitor->isVisible());
}

void TForm1::SyncValueMonitorCheck() {
  ValueMonitorCheckBox->setChecked(ValueMonitor != nullptr && ValueMonitor->isVisible());
}

void TForm1::SyncCommandsCheck() {
  CommandsCheckBox->setChecked(Commands->isVisible());
}

void TForm1::LoadMonitorLayout() {
  if (PanelMonitor != nullptr && Settings)
    PanelMonitor->LoadLayout(*Settings);
}

void TForm1::SaveMonitorLayout() {
  if (PanelMonitor != nullptr && Settings)
    PanelMonitor->SaveLayout(*Settings);
}

void TForm1::SetMonitorForms(TK4410R_MonitorForm* panelMonitor, TMonitorWindow* valueMonitor) {
  PanelMonitor = panelMonitor;
  ValueMonitor = valueMonitor;
  // Each check box follows its window, however the window was shown.
  if (panelMonitor != nullptr)
    connect(panelMonitor, &TMonitorWindow::VisibilityChanged, this,
            [this] { Guarded([&] { SyncMonitorCheck(); }); });
  if (valueMonitor != nullptr)
    connect(valueMonitor, &TMonitorWindow::VisibilityChanged, this,
            [this] { Guarded([&] { SyncValueMonitorCheck(); }); });
}

void TForm1::SpeedButton1Click(bool down) {
  if (down)
    OpenPort();
  else
    ClosePort();
}

void TForm1::TestButtonClick() {
  SendMessageText(MessageText());
}

void TForm1::SendMessageText(const std::string& text) {
  SendAndLog(text);
  RememberMessage(text);
}

void TForm1::PortComboBoxDropDown() {
  RefreshPorts({});
}

void TForm1::MonitorCheckBoxClick(bool checked) {
  if (PanelMonitor != nullptr)
    PanelMonitor->setVisible(checked);
  SyncMonitorCheck();
}

void TForm1::ValueMonitorCheckBoxClick(bool checked) {
  if (ValueMonitor != nullptr)
    ValueMonitor->setVisible(checked);
  SyncValueMonitorCheck();
}

void TForm1::CommandsCheckBoxClick(bool checked) {
  Commands->setVisible(checked);
  SyncCommandsCheck();
}

void TForm1::CycleCheckBoxClick(bool checked) {
  CycleTimer.setInterval(RepeatInterval);
  if (checked)
    CycleTimer.start();
  else
    CycleTimer.stop();
}

void TForm1::Button1Click() {
  if (!Line.IsOpen())
    throw Exception(NoPortOpen);
  if (OpenDialog1 == nullptr) {
    // Made at first use: building a file dialog costs more than the whole
    // rest of the window at start.
    OpenDialog1 = new QFileDialog(this);
    OpenDialog1->setObjectName(QStringLiteral("OpenDialog1"));
    OpenDialog1->setDefaultSuffix(QStringLiteral("txt"));
    OpenDialog1->setFileMode(QFileDialog::ExistingFile);
  }
  OpenDialog1->setNameFilter(QStringLiteral("Text files (*.txt)"));
  if (OpenDialog1->exec() != QDialog::Accepted || OpenDialog1->selectedFiles().isEmpty())
    return;
  const std::string path = QFile::encodeName(OpenDialog1->selectedFiles().front()).toStdString();
  auto file = std::make_unique<TTextFile>(path);
  // The port may have closed while the dialog was open.
  if (!Line.IsOpen())
    throw Exception(NoPortOpen);
  EndPlayback();
  StartPlayback(std::move(file));
  Line.Event(SessionKind::Playback, {"started", path});
}

void TForm1::StartPlayback(std::unique_ptr<TTextFile> file) {
  Playback.Start(std::move(file), CycleCheckBox->isChecked(), MessageText());
  CycleCheckBox->setChecked(false);
  // The running buttons wait, as repetition does, until the file is done.
  Commands->SetPaused(true);
  CycleTimer.setInterval(PlaybackInterval);
  CycleTimer.start();
}

void TForm1::EndPlayback() {
  ApplyPlaybackStep(Playback.Stop());
}

void TForm1::ApplyPlaybackStep(const TPlayback::TStep& step) {
  switch (step.Kind) {
  case TPlayback::TStep::TKind::Idle:
    break;
  case TPlayback::TStep::TKind::SendLine:
    SetMessageText(step.Line);
    // The line as read: the message box shows at most MaxShownMessage bytes
    // of a longer one.
    SendMessageText(step.Line);
    break;
  case TPlayback::TStep::TKind::Finished:
    Line.Event(SessionKind::Playback, {"ended"});
    if (step.RestoreMessage)
      SetMessageText(step.Message);
    CycleCheckBox->setChecked(step.RestoreCycle);
    Commands->SetPaused(false);
    break;
  }
}

void TForm1::CycleTimerTimer() {
  if (CycleCheckBox->isChecked())
    TestButtonClick();
  if (Playback.Playing())
    ApplyPlaybackStep(Playback.Next());
}

std::string TForm1::MessageText() const {
  return FromQt(MessageComboBox->currentText());
}

void TForm1::SetMessageText(const std::string& text) {
  // Laying out megabytes in the edit would stall the window for seconds.
  MessageComboBox->setEditText(ToQt(text.substr(0, MaxShownMessage)));
}

bool TForm1::event(QEvent* event) {
  if (event->type() == QEvent::WindowActivate)
    Guarded([this] { FormActivate(); });
  return QWidget::event(event);
}

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::KeyPress)
    return QWidget::eventFilter(watched, event);
  const auto* key = static_cast<QKeyEvent*>(event);
  if (watched == OutputRichEdit && key->key() == Qt::Key_Delete) {
    Guarded([this] { OutputRichEditClear(); });
    return true;
  }
  const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
  // The log is read-only: Enter there means nothing, least of all Send.
  if (watched == OutputRichEdit && enter)
    return true;
  const bool inMessageBox = watched == MessageComboBox || watched == MessageComboBox->lineEdit();
  // One Enter sends what the box shows, an inline completion included, which
  // would otherwise take that Enter for itself.
  if (inMessageBox && enter && TestButton->isEnabled()) {
    TestButton->click();
    return true;
  }
  // Alt with an arrow still opens the list.
  const bool plain = (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
  if (inMessageBox && plain && (key->key() == Qt::Key_Up || key->key() == Qt::Key_Down)) {
    Guarded([&] { MessageComboBoxStep(key->key() == Qt::Key_Down); });
    return true;
  }
  return QWidget::eventFilter(watched, event);
}

// Up and Down step from the entry the box shows, not from the combo box's
// current entry: a send inserts above that one, and typing leaves it behind.
// A text of one's own steps to the newest entry.
void TForm1::MessageComboBoxStep(bool down) {
  const int count = MessageComboBox->count();
  if (count == 0)
    return;
  const int shown = MessageComboBox->findText(MessageComboBox->currentText(),
                                              Qt::MatchExactly | Qt::MatchCaseSensitive);
  const int next = shown < 0 ? 0 : shown + (down ? 1 : -1);
  if (next < 0 || next >= count)
    return;
  MessageComboBox->setCurrentIndex(next);
  MessageComboBox->setEditText(MessageComboBox->itemText(next));
}

void TForm1::keyPressEvent(QKeyEvent* event) {
  if (event->key() != Qt::Key_Return && event->key() != Qt::Key_Enter) {
    QWidget::keyPressEvent(event);
    return;
  }
  // Enter presses the focused button, and the default button from any
  // other control that does not use it.
  auto* focused = qobject_cast<QPushButton*>(QApplication::focusWidget());
  if (focused != nullptr && isAncestorOf(focused)) {
    if (focused->isEnabled())
      focused->click();
    return;
  }
  if (TestButton->isEnabled())
    TestButton->click();
}

void TForm1::closeEvent(QCloseEvent* event) {
  event->accept();
  emit Closed();
}

void TForm1::resizeEvent(QResizeEvent* event) {
  OutputRichEdit->setGeometry(0, OutputTop, width(), std::max(height() - OutputTop, 0));
  QWidget::resizeEvent(event);
}

void TForm1::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (FirstShown)
    return;
  FirstShown = true;
  // Without a window manager a new window is never activated; the first
  // activation's steps then run once the event loop has turned.
  QTimer::singleShot(0, this, [this] {
    Guarded([this] { FormActivate(); });
    // Housekeeping waits until the window shows.
    Guarded([this] { SessionLog->RemoveOldFiles(); });
  });
}
