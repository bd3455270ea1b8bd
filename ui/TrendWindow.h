#pragma once

#include "watch/ReadingsFile.h"
#include "watch/TrendSeries.h"

#include <QWidget>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class QChart;
class QChartView;
class QComboBox;
class QDateTimeAxis;
class QFileDialog;
class QLabel;
class QLineSeries;
class QPushButton;
class QTimer;
class QValueAxis;
class QVBoxLayout;
struct TValueScale;

// A trend of the monitor's panels against real time, or of a recorded run:
// a line per panel on its own value axis, a shared time axis, a span of
// the last 10 minutes to 24 hours, and the figures of what is shown. The
// lines get only what the view's columns can show, never every reading.
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

  // A poll round went into the memory: redrawn at the next turn of the event
  // loop, once for any number of rounds before it.
  void Refresh();
  // Redraws the visible range now.
  void Redraw();

  // Shows the run of a readings file instead of the panels; raises, with
  // nothing changed, when the file is not one.
  void OpenRecording(const std::string& path);
  // The chart as a PNG; raises when it cannot be written.
  void SaveImage(const std::string& path);

  // The figures line of each line shown, as the window shows them.
  std::vector<std::string> FiguresText() const;

  QComboBox* SpanBox = nullptr;
  QPushButton* OpenButton = nullptr;
  QPushButton* SaveButton = nullptr;
  QLabel* MouseLabel = nullptr;
  QChartView* View = nullptr;
  QChart* Chart = nullptr;
  QDateTimeAxis* TimeAxis = nullptr;
  QFileDialog* OpenDialog = nullptr; // made at first use
  QFileDialog* SaveDialog = nullptr; // made at first use

protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

private:
  struct TLine;
  struct TShown {
    QString Label;
    const TTrendPoints* Points = nullptr;
  };

  void CreateControls();
  std::vector<TShown> Shown() const;
  void MatchLines(std::size_t count);
  void DrawLine(TLine& line, const TShown& shown, std::int64_t t0, std::int64_t t1, int columns);
  void ShowScale(QValueAxis& axis, const TValueScale& scale);
  std::int64_t SpanMs() const;
  // The time one pixel column of the plot covers.
  std::int64_t ColumnMs() const;
  std::int64_t EndMs(const std::vector<TShown>& shown) const;
  void ShowMouse(const QPoint& at);
  void ShowTitle(const std::vector<TShown>& shown);
  void OpenClick();
  void SaveClick();

  const TTrendMemory& Memory;
  std::vector<int> PanelsShown;
  char DecimalSeparator;
  std::vector<TReadingsColumn> Recording; // shown instead of the panels when open
  std::string RecordingName;
  std::vector<std::unique_ptr<TLine>> Lines;
  QVBoxLayout* FiguresBox = nullptr;
  QTimer* RedrawTimer = nullptr;
  std::int64_t ShownT0 = 0;
  std::int64_t ShownT1 = 0;
};
