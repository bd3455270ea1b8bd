#pragma once

#include "platform/LocalTime.h"
#include "record/ReadingsCsv.h"

#include <QObject>

#include <optional>
#include <string>
#include <vector>

class QAction;
class QLabel;
class QPoint;
class QWidget;

// A monitor's readings as CSV: Record Readings... and Stop Recording in the
// window's context menu, and a plain mark on the window while recording.
class TReadingsRecorder : public QObject {
  Q_OBJECT

public:
  // The mark shows on markParent at markAt.
  TReadingsRecorder(QWidget& window, QWidget& markParent, const QPoint& markAt);

  bool Recording() const { return Csv.Recording(); }
  const std::string& Path() const { return Csv.Path(); }

  // Starts a file at path; raises when it cannot be written.
  void Start(const std::string& path, const std::vector<std::string>& columns);
  void Stop();
  // One poll round that started at at; silence is an absent value. A
  // failure stops the recording and raises.
  void Row(const platform::LocalTime& at, const std::vector<std::string>& columns,
           const std::vector<std::optional<TShownValue>>& values);

  QAction* RecordAction = nullptr;
  QAction* StopAction = nullptr;
  QLabel* Mark = nullptr;

signals:
  // The operator asked to record: the window starts with its columns.
  void RecordRequested(const std::string& path);

private:
  void RecordClick();
  void ShowState();

  QWidget& Window;
  TReadingsCsv Csv;
};
