#pragma once

#include "ui/ApplicationErrors.h"

#include <QElapsedTimer>
#include <QObject>
#include <QString>

#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

class QFileDialog;
class QTimer;
class TForm1;

// Collects the messages the top-level handler would show, for one test.
class ErrorRecorder {
public:
  ErrorRecorder() {
    SetErrorPresenter([this](const std::string& message) { Messages.push_back(message); });
  }
  ~ErrorRecorder() { SetErrorPresenter({}); }
  ErrorRecorder(const ErrorRecorder&) = delete;
  ErrorRecorder& operator=(const ErrorRecorder&) = delete;

  std::vector<std::string> Messages;
};

// Spins the event loop until done() holds or timeoutMs passes.
bool WaitUntil(const std::function<bool()>& done, int timeoutMs);

// The settings file of the folder given, with the lines of the key given.
void WriteSettings(const std::filesystem::path& appDir, const std::vector<std::string>& values);
std::string ReadFile(const std::filesystem::path& path);
// The commands a simulator's --record file holds, each with how often it
// came, a command a line.
std::map<std::string, int> CommandsReceived(const std::filesystem::path& record);

// The output log as plain text, lines separated by LF.
std::string LogText(const TForm1& form);
std::vector<std::string> HistoryItems(const TForm1& form);

// Accepts the next file dialog with path as soon as it shows.
void ChooseFileWhenAsked(const TForm1& form, const std::filesystem::path& path);
// The same for the dialog that dialog() gives once it is made.
void ChooseFileWhenAsked(const std::function<QFileDialog*()>& dialog,
                         const std::filesystem::path& path);

// Every tick of a window's timer, seen from both sides of the window's own
// handler. Figures of order and count that no load on the machine can
// change: whether the next tick was already due when a tick's work ended,
// and what a probe reads then. Times are kept only where the design gives
// a lower bound, which a loaded machine can only lengthen.
class TickLog : public QObject {
public:
  struct TTick {
    qint64 StartMs = 0;      // before the handler, since the log was made
    int RemainingAfter = -1; // ms to the next tick once the handler is done
    std::string ProbeAfter;
  };

  // Made after the window, so its handler runs before the log's end mark.
  explicit TickLog(QTimer& timer, std::function<std::string()> probe = {});
  std::vector<TTick> Ticks;

protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  QTimer& Timer;
  std::function<std::string()> Probe;
  QElapsedTimer Clock;
};
