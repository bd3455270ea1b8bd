#pragma once

#include "ui/MonitorWindow.h"
#include "watch/PanelWatch.h"
#include "watch/TrendSeries.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class QAction;
class QCheckBox;
class QColorDialog;
class QLineEdit;
class QMenu;
class QPushButton;
class TDatabase;
class TLimitsDialog;
class TMonitorHost;
class TMonitorPanel;
class TReadingsRecorder;
class TTrendWindows;

// The panel monitor: a column of large display panels, each polling its own
// command once a second through the main window while this window is visible.
class TK4410R_MonitorForm : public TMonitorWindow {
  Q_OBJECT

public:
  // Builds the designed controls and runs InitPanels; the layout is loaded
  // by FormCreate once the main window knows this window.
  explicit TK4410R_MonitorForm(TMonitorHost& host);
  // Saves the layout through the main window.
  ~TK4410R_MonitorForm() override;

  // The creation step: the main window's LoadMonitorLayout, then the
  // panels' stored limits.
  void FormCreate();

  void LoadLayout(TDatabase& settings);
  void SaveLayout(TDatabase& settings);

  void InitPanels();
  void AddPanel();
  void RemovePanel();
  void ShowEditors(bool visible);
  void ChoosePanelColor(TMonitorPanel& panel);
  void PollPanels();
  // The limits dialog for panel i; accepted limits judge its value at once.
  void EditLimits(std::size_t panel);
  // The panel's context menu: Limits..., Trend..., then the window's own.
  void ShowPanelMenu(TMonitorPanel& panel, const QPoint& at);
  // Opens or raises the trend of these panels (indices into Panels).
  void OpenTrend(const std::vector<int>& panels);

  QWidget* ControlPanel = nullptr;
  QPushButton* AddButton = nullptr;
  QPushButton* RemoveButton = nullptr;
  QCheckBox* ShowEditCheckBox = nullptr;
  TMonitorPanel* Panel1 = nullptr;     // the designed panel, first of Panels
  QLineEdit* Edit1 = nullptr;          // its command, shown with Show Editors
  QColorDialog* ColorDialog = nullptr; // made at the first colour choice
  TReadingsRecorder* Readings = nullptr;
  TLimitsDialog* LimitsDialog = nullptr; // made at the first Limits...
  QMenu* PanelMenu = nullptr;            // made at the first right-click on a panel
  QAction* LimitsAction = nullptr;
  QAction* PanelTrendAction = nullptr; // "Trend..." of the panel clicked
  QAction* TrendAction = nullptr;      // of every panel that polls

  // Each panel's readings of the last day, for the trend windows.
  TTrendMemory TrendMemory;
  std::unique_ptr<TTrendWindows> Trends;

  // The columns of the readings file: the Columns that are not empty.
  std::vector<std::string> RecordedColumns() const;

  std::vector<TMonitorPanel*> Panels;
  std::vector<QLineEdit*> Editors;
  // Each panel's column in the readings file, beside Panels: its command as
  // it was when its editing last finished or the layout loaded. A poll of
  // any other text leaves the panel's cell empty.
  std::vector<std::string> Columns;
  // Each panel's limits, beside Panels; those beyond the stored ten last
  // the session.
  std::vector<TPanelWatch> Watches;
  bool Beep = false;
  int PanelGap = 4;

private:
  void CreateControls();
  void BindEvents();
  void BindPanel(TMonitorPanel& panel);
  void BindEditor(QLineEdit& edit);
  void TakeColumn(std::size_t panel);
  void GrowBy(int pixels);

  void AddButtonClick();
  void RemoveButtonClick();
  void TimerTimer();
  void TrendClick();

  void RestoreLimits();
  void StoreLimits();
  void JudgePanel(std::size_t panel, const TReading& reading);
  void ShowLimits(std::size_t panel);
  void ReportCrossing(const std::string& command, const TLimitEvent& event);
  std::size_t MenuPanel = 0;

  bool Polling = false;
};
