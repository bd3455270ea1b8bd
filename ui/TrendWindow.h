#pragma once

#include "watch/ReadingsFile.h"
#include "watch/TrendSeries.h"

#include <QWidget>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class QComboBox;
class QFileDialog;
class QLabel;
class QPushButton;
class QTimer;
class TTrendFigures;
class TTrendPlot;

// A trend of the monitor's panels against real time, or of a recorded run:
// a line per panel on its own value scale, a shared time axis, a span of
// 10 minutes to 24 hours picked or of a minute to 7 days zoomed with the
// wheel, dragged back in time or following the newest reading, and the
// figures of what is shown.
class TTrendWindow : public QWidget {
  Q_OBJECT

public:
  // Values are shown with decimalSeparator, as the panels show them.
  TTrendWindow(const TTrendMemory& memory, std::vector<int> panels, char decimalSeparator,
               QWidget* parent = nullptr);
  ~TTrendWindow() override;

  const std::vector<int>& Panels() const { return PanelsShown; }

  // The limits drawn across the line of the index'th panel shown.
  void SetLimits(std::size_t index, std::optional<double> low, std::optional<double> high);

  // A poll round went into the memory: drawn at the next turn of the event
  // loop, once for any number of rounds before it.
  void Refresh();
  // Draws the plot anew now.
  void Redraw();

  // Shows the run of a readings file instead of the panels, ending at its
  // last row; raises, with nothing changed, when the file is not one.
  void OpenRecording(const std::string& path);
  // The plot as a PNG; raises when it cannot be written.
  void SaveImage(const std::string& path);

  // The figures line of each line shown, as the window shows them.
  std::vector<std::string> FiguresText() const;

  QComboBox* SpanBox = nullptr;
  QPushButton* FollowButton = nullptr;
  QPushButton* OpenButton = nullptr;
  QPushButton* SaveButton = nullptr;
  QLabel* MouseLabel = nullptr;
  TTrendPlot* View = nullptr;
  QFileDialog* OpenDialog = nullptr; // made at first use
  QFileDialog* SaveDialog = nullptr; // made at first use

protected:
  void showEvent(QShowEvent* event) override;

private:
  struct TShown {
    QString Label;
    const TTrendPoints* Points = nullptr;
  };

  void CreateControls();
  std::vector<TShown> Shown() const;
  // The plot's lines anew: those of the panels, or of the recording.
  void ShowLines();
  // The plot brought up to date with the readings now.
  void SyncNow();
  void ShowFigures();
  // The span box and the Follow button as the plot's range is.
  void ShowRange();
  void ShowMouse(std::optional<std::int64_t> time, QPoint at);
  void ShowTitle(const std::vector<TShown>& shown);
  void SpanPicked(int index);
  void OpenClick();
  void SaveClick();

  const TTrendMemory& Memory;
  std::vector<int> PanelsShown;
  char DecimalSeparator;
  // Each panel's limits, drawn while the panels are shown.
  std::vector<std::optional<double>> Lows;
  std::vector<std::optional<double>> Highs;
  std::vector<TReadingsColumn> Recording; // shown instead of the panels when open
  std::string RecordingName;
  TTrendFigures* Figures = nullptr;
  QTimer* SyncTimer = nullptr;
};
