#include "ui/ReadingsRecorder.h"

#include "platform/DataDir.h"
#include "platform/Folders.h"
#include "record/TimeText.h"
#include "ui/ApplicationErrors.h"

#include <QAction>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QWidget>

namespace {

std::string SuggestedPath() {
  const platform::LocalTime now = platform::CurrentLocalTime();
  std::string stamp = IsoTime(now).substr(0, 19);
  stamp[10] = ' ';
  stamp[13] = stamp[16] = '-';
  return platform::JoinPath(platform::DataDir(), "readings " + stamp + ".csv");
}

} // namespace

TReadingsRecorder::TReadingsRecorder(QWidget& window, QWidget& markParent, const QPoint& markAt)
    : QObject(&window), Window(window) {
  RecordAction = new QAction(QStringLiteral("Record Readings..."), this);
  StopAction = new QAction(QStringLiteral("Stop Recording"), this);
  window.addActions({RecordAction, StopAction});
  window.setContextMenuPolicy(Qt::ActionsContextMenu);
  connect(RecordAction, &QAction::triggered, this, [this] { Guarded([&] { RecordClick(); }); });
  connect(StopAction, &QAction::triggered, this, [this] { Stop(); });

  Mark = new QLabel(QStringLiteral("\u25CF REC"), &markParent);
  Mark->setObjectName(QStringLiteral("RecordingMark"));
  Mark->setStyleSheet(QStringLiteral("color: #d00000; font-weight: bold;"));
  Mark->move(markAt);
  Mark->adjustSize();
  ShowState();
}

void TReadingsRecorder::RecordClick() {
  const std::string suggested = SuggestedPath();
  platform::MakeFolders(platform::DataDir());
  const QString path = QFileDialog::getSaveFileName(&Window, QStringLiteral("Record Readings"),
                                                    QFile::decodeName(suggested.c_str()),
                                                    QStringLiteral("CSV files (*.csv)"));
  if (!path.isEmpty())
    emit RecordRequested(QFile::encodeName(path).toStdString());
}

void TReadingsRecorder::Start(const std::string& path, const std::vector<std::string>& columns) {
  try {
    Csv.Start(path, columns);
  } catch (...) {
    ShowState();
    throw;
  }
  ShowState();
}

void TReadingsRecorder::Stop() {
  Csv.Stop();
  ShowState();
}

void TReadingsRecorder::Row(const platform::LocalTime& at, const std::vector<std::string>& columns,
                            const std::vector<std::optional<TShownValue>>& values) {
  try {
    Csv.Row(at, columns, values);
  } catch (...) {
    ShowState();
    throw;
  }
  ShowState();
}

void TReadingsRecorder::ShowState() {
  RecordAction->setEnabled(!Csv.Recording());
  StopAction->setEnabled(Csv.Recording());
  Mark->setVisible(Csv.Recording());
  Mark->setToolTip(QFile::decodeName(Csv.Path().c_str()));
  if (Csv.Recording())
    Mark->raise();
}
