#include "ui/LogRecording.h"

#include "base/Exception.h"
#include "base/OSError.h"
#include "line/InstrumentLine.h"
#include "platform/Folders.h"
#include "platform/ReplaceFile.h"
#include "platform/SystemError.h"
#include "record/Retention.h"
#include "record/SessionRecord.h"
#include "record/TimeText.h"
#include "settings/RecordingDatabase.h"
#include "settings/SettingNames.h"
#include "ui/ApplicationErrors.h"
#include "ui/QtText.h"

#include <QAction>
#include <QActionGroup>
#include <QDesktopServices>
#include <QFile>
#include <QFileDialog>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTimer>
#include <QUrl>

TLogRecording::TLogRecording(QPlainTextEdit& log, TInstrumentLine& line)
    : QObject(&log), Log(log), Line(line) {
  CreateActions();
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
  auto* views = new QActionGroup(this);
  const char* const captions[] = {"As &Text", "&Escaped", "&Hex"};
  for (int view = 0; view < LogViews; ++view) {
    ViewActions[view] = views->addAction(QString::fromLatin1(captions[view]));
    ViewActions[view]->setCheckable(true);
  }
  ViewActions[0]->setChecked(true);

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
    QMenu* view = Menu->addMenu(QStringLiteral("Show &Answers"));
    view->setObjectName(QStringLiteral("ViewMenu"));
    view->addActions({ViewActions[0], ViewActions[1], ViewActions[2]});
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
  const std::string folder = Settings->GetString(Setting::Folder);
  Line.UseRecord(
      std::make_unique<TSessionRecord>(folder.empty() ? DefaultSessionFolder() : folder));
  Line.Record().SetEnabled(Settings->GetBoolean(Setting::SessionLog));
  RecordSessionAction->setChecked(Line.Record().Enabled());
  TimeStampsAction->setChecked(Settings->GetBoolean(Setting::TimeStamps));
  ViewActions[static_cast<int>(
                  LogViewOf(Settings->GetInteger(Setting::LogView)).value_or(TLogView::Text))]
      ->setChecked(true);
  KeepDays = Settings->GetInteger(Setting::KeepDays);
}

TDatabase* TLogRecording::StoreChoices() {
  if (Settings) {
    Settings->SetBoolean(Setting::TimeStamps, TimeStampsAction->isChecked());
    Settings->SetInteger(Setting::LogView, static_cast<std::int32_t>(View()));
  }
  return Settings.get();
}

void TLogRecording::RecordFailed(const std::string& message) {
  RecordSessionAction->setChecked(false);
  QTimer::singleShot(0, this, [message] { PresentError(message); });
}

std::string TLogRecording::LinePrefix() const {
  return TimeStampsAction->isChecked() ? ClockTime(Line.Record().Now()) + ' ' : std::string();
}

TLogView TLogRecording::View() const {
  for (int view = 0; view < LogViews; ++view)
    if (ViewActions[view]->isChecked())
      return static_cast<TLogView>(view);
  return TLogView::Text;
}

std::string TLogRecording::SessionFolder() const {
  return Line.Record().Folder();
}

void TLogRecording::RemoveOldFiles() {
  RemoveOldSessions(Line.Record().Folder(), Line.Record().Now(), KeepDays);
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
  Line.Record().SetEnabled(on);
  if (Settings)
    Settings->SetBoolean(Setting::SessionLog, on);
}

void TLogRecording::OpenFolderClick() {
  const std::string folder = Line.Record().Folder();
  if (!platform::MakeFolders(folder))
    throw Exception("Could not make the folder " + folder + "\r\n" +
                    SystemMessageText(platform::GetLastError()));
  QDesktopServices::openUrl(QUrl::fromLocalFile(QFile::decodeName(folder.c_str())));
}
