#pragma once

#include "ui/MonitorWindow.h"

#include <cstdint>
#include <string>
#include <vector>

class QCheckBox;
class QColorDialog;
class QLineEdit;
class QPushButton;
class TDatabase;
class TMonitorHost;
class TMonitorPanel;
class TReadingsRecorder;

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

  // The creation step: the main window's LoadMonitorLayout.
  void FormCreate();

  void LoadLayout(TDatabase& settings);
  void SaveLayout(TDatabase& settings);

  void InitPanels();
  void AddPanel();
  void RemovePanel();
  void ShowEditors(bool visible);
  void ChoosePanelColor(TMonitorPanel& panel);
  void PollPanels();

  QWidget* ControlPanel = nullptr;
  QPushButton* AddButton = nullptr;
  QPushButton* RemoveButton = nullptr;
  QCheckBox* ShowEditCheckBox = nullptr;
  TMonitorPanel* Panel1 = nullptr;
  QLineEdit* Edit1 = nullptr;
  QColorDialog* ColorDialog = nullptr; // made at the first colour choice
  TReadingsRecorder* Readings = nullptr;

  // The commands of the panels that poll, in order.
  std::vector<std::string> PolledCommands() const;

  std::vector<TMonitorPanel*> Panels;
  std::vector<QLineEdit*> Editors;
  int PanelGap = 4;

private:
  void CreateControls();
  void BindEvents();
  void BindPanel(TMonitorPanel& panel);
  void RestorePosition(int left, int top);
  void GrowBy(int pixels);

  void AddButtonClick();
  void RemoveButtonClick();
  void TimerTimer();

  bool Polling = false;
};
