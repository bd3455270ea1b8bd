#pragma once

#include "ui/LogView.h"

#include <QObject>

#include <memory>
#include <string>

class QAction;
class QMenu;
class QPlainTextEdit;
class TDatabase;
class TInstrumentLine;

// The output log's companions: the choices of the line's session record,
// the time stamps before the log's lines, and the log's context menu.
class TLogRecording : public QObject {
  Q_OBJECT

public:
  TLogRecording(QPlainTextEdit& log, TInstrumentLine& line);
  ~TLogRecording() override;

  // Reads the choices of the Recording subkey; a store that cannot be made
  // leaves the defaults.
  void Load();
  // Puts the choices into their store, for the main window to save with its
  // own; null when the subkey could not be loaded.
  TDatabase* StoreChoices();
  // The store as loaded; null as for StoreChoices.
  const TDatabase* Choices() const { return Settings.get(); }

  // A record line could not be written: the menu shows recording off, and
  // the failure is shown through the top-level handler once the line that
  // failed has shown, never inside an exchange's bookkeeping.
  void RecordFailed(const std::string& message);

  // "HH:MM:SS.mmm " while time stamps show, else nothing.
  std::string LinePrefix() const;
  // How answers show from now on.
  TLogView View() const;
  std::string SessionFolder() const;
  // Removes the session files older than the kept days.
  void RemoveOldFiles();
  // Writes what the log shows, as text, to path; raises when it cannot,
  // with the file at path left as it was.
  void SaveLogAs(const std::string& path) const;

  QAction* CopyAction = nullptr;
  QAction* SelectAllAction = nullptr;
  QAction* SaveAsAction = nullptr;
  QAction* TimeStampsAction = nullptr;
  QAction* RecordSessionAction = nullptr;
  QAction* OpenFolderAction = nullptr;
  // The views, by TLogView's number: Text, Escaped, Hex.
  QAction* ViewActions[LogViews] = {};

private:
  void CreateActions();
  void ShowMenu(const QPoint& at);
  void SaveAsClick();
  void OpenFolderClick();
  void RecordSessionClick(bool on);

  QPlainTextEdit& Log;
  TInstrumentLine& Line;
  QMenu* Menu = nullptr; // made at the first request
  std::unique_ptr<TDatabase> Settings;
  int KeepDays = 90;
};
