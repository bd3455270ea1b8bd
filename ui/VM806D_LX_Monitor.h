#pragma once

#include "ui/MonitorWindow.h"
#include "ui/TwoValueDecode.h"

#include <string>

class QFrame;
class QLabel;
class TMonitorHost;
class TReadingsRecorder;

// The two-value monitor: polls "F0" once a second while visible and shows
// the two signed values of the instrument's byte dump. The operator cannot
// close it; closing the port hides it.
class TTestVM806D_LX_MonitorForm : public TMonitorWindow {
  Q_OBJECT

public:
  explicit TTestVM806D_LX_MonitorForm(TMonitorHost& host);

  void Poll();
  // Decodes an answer to "F0" into the labels, and returns the values they
  // show; raises on a byte that is not hexadecimal, after showing what was
  // decoded before it.
  TTwoValues ShowAnswer(const std::string& answer);

  QLabel* Label1 = nullptr; // the first value, green
  QFrame* Bevel1 = nullptr;
  QLabel* Label2 = nullptr; // the second value, red
  QFrame* Bevel2 = nullptr;
  TReadingsRecorder* Readings = nullptr;

protected:
  void closeEvent(QCloseEvent* event) override;

private:
  void CreateControls();
  QLabel* CreateValueLabel(const char* name, int top, std::int32_t color);
  QFrame* CreateBevel(const char* name, int top);
  void ShowValues(const std::string& first, const std::string& second);
  void TimerTimer();
};
