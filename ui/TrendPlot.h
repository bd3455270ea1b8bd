#pragma once

#include "watch/TrendColumns.h"
#include "watch/TrendSeries.h"
#include "watch/TrendView.h"
#include "watch/ValueScale.h"

#include <QColor>
#include <QImage>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

// One line of a plot: its colour and the limits drawn across it.
struct TPlotLine {
  QColor Color;
  std::optional<double> Low;
  std::optional<double> High;
};

// The trend's plot, painted by the program itself: the lines over a time
// axis of round local times, each on its own value scale (left and right in
// turn), limits dashed, silences as breaks in the line. The plotted area is
// kept as a picture whose pixel columns stay fixed in time: as time goes on
// or the view is dragged it moves by whole columns and only the new ones
// are drawn. It is drawn anew only when its size, span, scales, lines or
// limits change. The wheel zooms the time axis, a drag moves it.
class TTrendPlot : public QWidget {
  Q_OBJECT

public:
  // Values are labelled with decimalSeparator.
  explicit TTrendPlot(char decimalSeparator, QWidget* parent = nullptr);

  // The readings of the index'th line, wherever they are at the time: the
  // plot keeps no pointer into what owns them.
  using TPointsOf = std::function<const TTrendPoints&(std::size_t index)>;

  // What the plot shows; a change draws it anew.
  void SetLines(const std::vector<TPlotLine>& lines, TPointsOf pointsOf);
  void SetLimits(std::size_t index, std::optional<double> low, std::optional<double> high);
  std::size_t Lines() const { return Shown.size(); }
  const TPlotLine& LineOf(std::size_t index) const { return Shown[index].Line; }

  // The span of time and where it ends; the window changes it through
  // these, the wheel and a drag through the plot's own events.
  TTrendView& Range() { return View; }
  const TTrendView& Range() const { return View; }

  // Brings the picture up to date with the readings and the range: moved
  // and drawn where new, or drawn anew where needed.
  void Sync();
  // Draws it anew at the next Sync or paint.
  void Invalidate();

  // The figures and the scale of each line, as of the last Sync.
  const TTrendStats& StatsOf(std::size_t index) const { return Shown[index].Stats; }
  const TValueScale& ScaleOf(std::size_t index) const { return Shown[index].Scale; }
  // The plotted area within the widget.
  QRect PlotRect() const { return Plot; }
  // How often the picture was drawn whole, and how many columns were drawn
  // on their own since.
  int FullDraws() const { return Drawn.Full; }
  std::int64_t ColumnsDrawn() const { return Drawn.Columns; }

signals:
  // The picture is up to date: the figures may have changed.
  void Synced();
  // The operator zoomed or moved the time axis.
  void RangeMoved();
  // The mouse is at `at`, pointing at `time` in the plotted area; none when
  // it is outside it.
  void Pointed(std::optional<std::int64_t> time, QPoint at);

protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void leaveEvent(QEvent* event) override;

private:
  struct TShownLine {
    TPlotLine Line;
    TTrendColumns Columns;
    TColumnChange Change;
    TTrendStats Stats;
    TValueScale Scale;
    int AxisWidth = 0;
  };
  // What the picture was drawn for.
  struct TDrawn {
    QRect Plot;
    QSize Size;
    std::int64_t First = 0;
    std::int64_t ColumnMs = 0;
    std::vector<TValueScale> Scales;
    int Full = 0;
    std::int64_t Columns = 0;
  };

  // The picture up to date; on the screen too when repaint is set.
  void Update(bool repaint);
  void SyncColumns();
  // The value scale of each line shown, in order.
  std::vector<TValueScale> Scales() const;
  void Layout();
  // The time between ticks for the range's columns.
  std::int64_t TimeStep() const;
  QString ToLabel(const TValueScale& scale, double tick) const;
  // Draws the columns from..to into the picture, where each lies in it.
  void DrawColumns(std::int64_t from, std::int64_t to);
  void DrawPiece(QPainter& painter, std::int64_t from, std::int64_t to, std::int64_t base);
  void DrawLine(QPainter& painter, std::size_t index, std::int64_t from, std::int64_t to,
                std::int64_t base) const;
  double YOf(const TValueScale& scale, double value) const;
  // Where the time labels start: below the lowest value label.
  int TimeLabelsTop() const;
  // The widget's area of the columns from..to.
  QRect AreaOf(std::int64_t from, std::int64_t to) const;
  void PaintValueAxes(QPainter& painter) const;
  void PaintTimeAxis(QPainter& painter) const;
  void PaintPicture(QPainter& painter, const QRect& area) const;
  void PointAt(const QPoint& at);

  char DecimalSeparator;
  std::vector<TShownLine> Shown;
  TPointsOf PointsOf;
  TTrendView View;
  // The least distance between time ticks: a date's width and some.
  int MinTickPx = 100;
  QRect Plot;
  // The plotted area, a pixel column per column of the range; column k is
  // kept at x = k modulo the width, so moving costs nothing.
  QImage Picture;
  bool Valid = false;
  TDrawn Drawn;
  std::optional<int> DragX;
  std::optional<int> MouseX;
};
