#pragma once

#include "platform/LocalTime.h"

#include <QObject>

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>

class QAction;
class QMenu;
class QPlainTextEdit;
class TDatabase;
class TSessionRecord;

// The output log's companions: the session record of every exchange and
// event, the time stamps before the log's lines, and the log's context
// menu. A record that fails reports once through the top-level handler,
// after the line that failed has shown, and recording stays off.
class TLogRecording : public QObject {
  Q_OBJECT

public:
  explicit TLogRecording(QPlainTextEdit& log);
  ~TLogRecording() override;

  // Reads the choices of the Recording subkey; a store that cannot be made
  // leaves the defaults.
  void Load();
  // Puts the choices into their store, for the main window to save with its
  // own; null when the subkey could not be loaded.
  TDatabase* StoreChoices();
  // The store as loaded; null as for StoreChoices.
  const TDatabase* Choices() const { return Settings.get(); }

  platform::LocalTime Now() const;
  // The COM name on every line; empty while no port is open.
  void SetPort(const std::string& port) { Port = port; }

  void Exchange(const platform::LocalTime& started, std::string_view request,
                std::string_view answer, std::uint32_t ms);
  void Event(std::string_view kind, std::initializer_list<std::string_view> fields = {});

  // "HH:MM:SS.mmm " while time stamps show, else nothing.
  std::string LinePrefix() const;
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

private:
  void CreateActions();
  void ShowMenu(const QPoint& at);
  void SaveAsClick();
  void OpenFolderClick();
  void RecordSessionClick(bool on);
  // Runs a write to the record; a failure is shown once the event loop
  // turns, and the menu shows recording off.
  template <class F> void Recorded(F&& write);

  QPlainTextEdit& Log;
  QMenu* Menu = nullptr; // made at the first request
  std::unique_ptr<TDatabase> Settings;
  std::unique_ptr<TSessionRecord> Record;
  std::string Port;
  int KeepDays = 90;
};
