#pragma once

#include "line/InstrumentLine.h"
#include "ui/LineTurns.h"
#include "ui/MonitorHost.h"
#include "ui/OutputLog.h"
#include "ui/Playback.h"

#include <QTimer>
#include <QWidget>

#include <memory>
#include <string>

class QCheckBox;
class QComboBox;
class QFileDialog;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class TCommandsDatabase;
class TCommandsWindow;
class TDatabase;
class TDropDownComboBox;
class TLogRecording;
class TK4410R_MonitorForm;
class TMonitorWindow;
class TSerialPortList;
struct TPortStringsEntry;

// The main window: choose a port, open it, send commands and read the
// numbered answers; repeat a command or play a text file as commands.
class TForm1 : public QWidget, public TMonitorHost {
  Q_OBJECT

public:
  TForm1();
  ~TForm1() override;

  // The road of every exchange: the protocol while a port is open, the
  // session record, the readings.
  TInstrumentLine Line;
  std::unique_ptr<TDatabase> Settings;                // may be null if creating it failed
  std::unique_ptr<TDatabase> LineSettings;            // the subkey Line; may be null too
  std::unique_ptr<TDatabase> PanelLimits;             // the subkey Limits; may be null too
  std::unique_ptr<TCommandsDatabase> CommandSettings; // the subkey Commands; may be null too
  TLogRecording* SessionLog = nullptr;                // the session record and the log's menu
  // Who has the line next: the cycle timer, the monitors, running buttons.
  TLineTurns Turns;

  // One exchange on Line, numbered log line; raises on exchange errors. A
  // lost device closes the port (ClosePort) before its error goes on, so
  // nothing sends on it again.
  std::string SendAndLog(const std::string& text);
  std::string SendAndLog(const std::string& text, TReading& reading) override;
  // Appends text plus a line end to OutputRichEdit as is (unnumbered); never fails.
  void AppendOutput(const std::string& text) override;
  // Records an error's text in the session record, whether a box showed it
  // or not.
  void RecordError(const std::string& text);
  void EnableMonitorCheck();
  // MonitorCheckBox checked exactly when the panel monitor is visible.
  void SyncMonitorCheck();
  // ValueMonitorCheckBox checked exactly when the two-value monitor is visible.
  void SyncValueMonitorCheck();
  // CommandsCheckBox checked exactly when the Commands window is visible.
  void SyncCommandsCheck();
  // The panel monitor's LoadLayout(*Settings), if both exist.
  void LoadMonitorLayout() override;
  // The panel monitor's SaveLayout(*Settings), if both exist.
  void SaveMonitorLayout() override;
  // Wired by the program entry; either may be null.
  void SetMonitorForms(TK4410R_MonitorForm* panelMonitor, TMonitorWindow* valueMonitor);
  TInstrumentLine& InstrumentLine() override { return Line; }
  TDatabase* LimitSettings() override { return PanelLimits.get(); }
  TLineTurns& LineTurns() override { return Turns; }
  // The cycle timer's source on the line's turns: repetition and playback.
  TLineTurns::TSource CycleSource() const { return CycleTurns; }

  void OpenPort();
  void ClosePort();
  void RememberMessage(const std::string& text);
  bool RefreshPorts(const std::string& preferred);

  // The steps of the first activation; later calls do nothing.
  void FormActivate();
  // Writes the panel monitor's layout and the window's settings into the
  // stores and saves them; the store stays. Also when the session ends, as
  // the system may end the program before its windows are destroyed.
  void SaveSettings();
  // Saves the settings and releases the store; runs once, at the latest
  // when the window is destroyed.
  void FormDestroy();

  bool Activated = false;
  std::unique_ptr<TSerialPortList> Ports;
  TPlayback Playback;

  QLabel* PortLabel = nullptr;
  TDropDownComboBox* PortComboBox = nullptr;
  QPushButton* SpeedButton1 = nullptr;
  QLabel* MessageLabel = nullptr;
  QComboBox* MessageComboBox = nullptr;
  QPushButton* TestButton = nullptr;
  QCheckBox* MonitorCheckBox = nullptr;
  QCheckBox* ValueMonitorCheckBox = nullptr;
  QCheckBox* CycleCheckBox = nullptr;
  QCheckBox* CommandsCheckBox = nullptr;
  QPushButton* Button1 = nullptr;
  QPlainTextEdit* OutputRichEdit = nullptr;
  QFileDialog* OpenDialog1 = nullptr; // made at the first Send File
  QTimer CycleTimer;
  // The command buttons' window, made with this one.
  std::unique_ptr<TCommandsWindow> Commands;

signals:
  // The operator (or a signal) closed the window: the program ends.
  void Closed();

protected:
  bool event(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void showEvent(QShowEvent* event) override;

private:
  void CreateControls();
  void BindEvents();
  void FormCreate();
  void RestorePosition();

  void SpeedButton1Click(bool down);
  void TestButtonClick();
  // The Send button's action for text: send and log it, then remember it.
  void SendMessageText(const std::string& text);
  void PortComboBoxDropDown();
  void MonitorCheckBoxClick(bool checked);
  void ValueMonitorCheckBoxClick(bool checked);
  void CommandsCheckBoxClick(bool checked);
  void CycleCheckBoxClick(bool checked);
  void Button1Click();
  void CycleTimerTimer();
  void OutputRichEditClear();
  void MessageComboBoxStep(bool down);

  void StartPlayback(std::unique_ptr<class TTextFile> file);
  void EndPlayback();
  void ApplyPlaybackStep(const TPlayback::TStep& step);
  void ApplyLogAppend(const TOutputLog::TAppend& append);
  std::string MessageText() const;
  void SetMessageText(const std::string& text);
  std::string SelectedPortName() const;

  std::vector<TPortStringsEntry> PortEntries;
  TOutputLog Log;
  TK4410R_MonitorForm* PanelMonitor = nullptr;
  TMonitorWindow* ValueMonitor = nullptr;
  TLineTurns::TSource CycleTurns = 0;
  bool FirstShown = false;
  bool Destroyed = false;
};
