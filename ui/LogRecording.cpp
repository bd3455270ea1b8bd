#include "ui/LogRecording.h"

#include "base/Exception.h"
#include "base/OSError.h"
#include "platform/Folders.h"
#include "platform/ReplaceFile.h"
#include "platform/SystemError.h"
#include "record/Retention.h"
#include "record/SessionRecord.h"
#include "record/TimeText.h"
#include "settings/RecordingDatabase.h"
#include "ui/ApplicationErrors.h"
#include "ui/QtText.h"

#include <QAction>
#include <QDesktopServices>
#include <QFile>
#include <QFileDialog>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTimer>
#include <QUrl>

TLogRecording::TLogRecording(QPlainTextEdit& log) : QObject(&log), Log(log) {
  CreateActions();
  Record = std::make_unique<TSessionRecord>(DefaultSessionFolder());
}

TLogRecording::~TLogRecording() = default;

void TLogRecording::CreateActions() {
  CopyAction = new QAction(QStringLiteral("&Copy"), this);
  CopyAction->setShortcut(QKeySequence::Copy);
  SelectAllAction = new QAction(QStringLiteral("Select &All"), this);
  SaveAsAction = new QAction(QStringLiteral("Save &As..."), this);
  TimeStampsAction = new QAction(QStringLiteral("Show &Time Stamps"), this);
  TimeStampsAction->setCheckable(true);
  RecordSessionAction = new QAction(QStringLiteral("&Record Session"), this);
  RecordSessionAction->setCheckable(true);
  RecordSessionAction->setChecked(true);
  OpenFolderAction = new QAction(QStringLiteral("Open Session &Folder"), this);

  connect(CopyAction, &QAction::triggered, &Log, &QPlainTextEdit::copy);
  connect(SelectAllAction, &QAction::triggered, &Log, &QPlainTextEdit::selectAll);
  connect(SaveAsAction, &QAction::triggered, this, [this] { Guarded([&] { SaveAsClick(); }); });
  connect(RecordSessionAction, &QAction::triggered, this,
          [this](bool on) { Guarded([&] { RecordSessionClick(on); }); });
  connect(OpenFolderAction, &QAction::triggered, this,
          [this] { Guarded([&] { OpenFolderClick(); }); });

  Log.setContextMenuPolicy(Qt::CustomContextMenu);
  connect(&Log, &QWidget::customContextMenuRequested, this, &TLogRecording::ShowMenu);
}

void TLogRecording::ShowMenu(const QPoint& at) {
  if (Menu == nullptr) {
    Menu = new QMenu(&Log);
    Menu->setObjectName(QStringLiteral("OutputMenu"));
    Menu->addActions({CopyAction, SelectAllAction, SaveAsAction});
    Menu->addSeparator();
    Menu->addActions({TimeStampsAction, RecordSessionAction, OpenFolderAction});
  }
  CopyAction->setEnabled(Log.textCursor().hasSelection());
  Menu->popup(Log.viewport()->mapToGlobal(at));
}

void TLogRecording::Load() {
  try {
    Settings = std::make_unique<TRecordingDatabase>();
  } catch (const std::exception&) {
    // The main store has reported what keeps the registry from loading.
    return;
  }
  const std::string folder = Settings->GetString("Folder");
  Record = std::make_unique<TSessionRecord>(folder.empty() ? DefaultSessionFolder() : folder);
  Record->SetEnabled(Settings->GetBoolean("Session Log"));
  RecordSessionAction->setChecked(Record->Enabled());
  TimeStampsAction->setChecked(Settings->GetBoolean("Time Stamps"));
  KeepDays = Settings->GetInteger("Keep Days");
}

TDatabase* TLogRecording::StoreChoices() {
  if (Settings)
    Settings->SetBoolean("Time Stamps", TimeStampsAction->isChecked());
  return Settings.get();
}

platform::LocalTime TLogRecording::Now() const {
  return Record->Now();
}

template <class F> void TLogRecording::Recorded(F&& write) {
  try {
    write();
  } catch (const std::exception& error) {
    RecordSessionAction->setChecked(false);
    // Shown once the line that failed has shown, and never inside an
    // exchange's bookkeeping.
    QTimer::singleShot(0, this, [message = std::string(error.what())] { PresentError(message); });
  }
}

void TLogRecording::Exchange(const platform::LocalTime& started, std::string_view request,
                             std::string_view answer, std::uint32_t ms) {
  Recorded([&] { Record->Exchange(started, Port, request, answer, ms); });
}

void TLogRecording::Event(std::string_view kind, std::initializer_list<std::string_view> fields) {
  Recorded([&] { Record->Event(Port, kind, fields); });
}

std::string TLogRecording::LinePrefix() const {
  return TimeStampsAction->isChecked() ? ClockTime(Record->Now()) + ' ' : std::string();
}

std::string TLogRecording::SessionFolder() const {
  return Record->Folder();
}

void TLogRecording::RemoveOldFiles() {
  RemoveOldSessions(Record->Folder(), Record->Now(), KeepDays);
}

void TLogRecording::SaveLogAs(const std::string& path) const {
  // Written beside the file and renamed over it: a disk that fills up
  // leaves no half a log under the name chosen.
  if (!platform::ReplaceFileContents(path, FromQt(Log.toPlainText())))
    throw Exception("Could not save the log to " + path + "\r\n" +
                    SystemMessageText(platform::GetLastError()));
}

void TLogRecording::SaveAsClick() {
  const QString path = QFileDialog::getSaveFileName(&Log, QStringLiteral("Save As"), QString(),
                                                    QStringLiteral("Text files (*.txt)"));
  if (!path.isEmpty())
    SaveLogAs(QFile::encodeName(path).toStdString());
}

void TLogRecording::RecordSessionClick(bool on) {
  Record->SetEnabled(on);
  if (Settings)
    Settings->SetBoolean("Session Log", on);
}

void TLogRecording::OpenFolderClick() {
  const std::string folder = Record->Folder();
  if (!platform::MakeFolders(folder))
    throw Exception("Could not make the folder " + folder + "\r\n" +
                    SystemMessageText(platform::GetLastError()));
  QDesktopServices::openUrl(QUrl::fromLocalFile(QFile::decodeName(folder.c_str())));
}
