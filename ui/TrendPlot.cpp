#include "ui/TrendPlot.h"

#include "watch/Decimate.h"
#include "watch/TimeScale.h"

#include <QDateTime>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPolygonF>
#include <QWheelEvent>

#include <algorithm>
#include <array>

namespace {

constexpr int TickLength = 4;
// Between a label and the next axis or the widget's edge.
constexpr int AxisGap = 6;
// The pen of a limit: 4 pixels drawn, 3 left out.
const QList<qreal> LimitDashes = {4, 3};
constexpr int DashPeriod = 7;

const QColor Background(Qt::white);
const QColor GridColor(0xe4, 0xe4, 0xe4);
const QColor FrameColor(0xa0, 0xa0, 0xa0);
const QColor CursorColor(0x80, 0x80, 0x80);

std::int64_t FloorMod(std::int64_t a, std::int64_t b) {
  return a - FloorDiv(a, b) * b;
}

} // namespace

TTrendPlot::TTrendPlot(char decimalSeparator, QWidget* parent)
    : QWidget(parent), DecimalSeparator(decimalSeparator) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setMouseTracking(true);
  setFocusPolicy(Qt::WheelFocus);
  setMinimumSize(200, 120);
}

void TTrendPlot::SetLines(const std::vector<TPlotLine>& lines, TPointsOf pointsOf) {
  PointsOf = std::move(pointsOf);
  Shown.clear();
  for (const TPlotLine& line : lines)
    Shown.push_back({line, {}, {}, {}, {}, 0});
  Invalidate();
}

void TTrendPlot::SetLimits(std::size_t index, std::optional<double> low,
                           std::optional<double> high) {
  if (index >= Shown.size())
    return;
  Shown[index].Line.Low = low;
  Shown[index].Line.High = high;
  Invalidate();
}

void TTrendPlot::Invalidate() {
  Valid = false;
  update();
}

void TTrendPlot::Sync() {
  Update(true);
}

void TTrendPlot::SyncColumns() {
  View.SetColumns(Plot.width());
  std::optional<std::int64_t> oldest;
  std::optional<std::int64_t> newest;
  for (std::size_t i = 0; i < Shown.size(); ++i) {
    const TTrendPoints& points = PointsOf(i);
    if (points.empty())
      continue;
    oldest = std::min(oldest.value_or(points.front().TimeMs), points.front().TimeMs);
    newest = std::max(newest.value_or(points.back().TimeMs), points.back().TimeMs);
  }
  // Without readings the view ends now.
  View.SetReadings(oldest, newest.value_or(QDateTime::currentMSecsSinceEpoch()));
  for (std::size_t i = 0; i < Shown.size(); ++i) {
    TShownLine& shown = Shown[i];
    shown.Change =
        shown.Columns.Sync(PointsOf(i), View.FirstColumn(), View.Columns(), View.ColumnMs());
    shown.Stats = shown.Columns.Stats();
    std::vector<double> fitted;
    if (shown.Stats.Count > 0)
      fitted = {shown.Stats.Min, shown.Stats.Max};
    for (const std::optional<double>& limit : {shown.Line.Low, shown.Line.High}) {
      if (limit)
        fitted.push_back(*limit);
    }
    shown.Scale = ValueScaleOf(fitted);
  }
}

// The axes take what their labels need; the plot has the rest.
void TTrendPlot::Layout() {
  const QFontMetrics metrics = fontMetrics();
  int left = 0;
  int right = 0;
  for (std::size_t i = 0; i < Shown.size(); ++i) {
    TShownLine& shown = Shown[i];
    int widest = 0;
    for (const double tick : shown.Scale.Ticks)
      widest = std::max(widest, metrics.horizontalAdvance(ToLabel(shown.Scale, tick)));
    shown.AxisWidth = widest + TickLength + 2 + AxisGap;
    (i % 2 == 0 ? left : right) += shown.AxisWidth;
  }
  // Room for half a time label beyond either end of the plot.
  const int halfLabel = metrics.horizontalAdvance(QStringLiteral("00:00:00")) / 2 + 2;
  left = std::max(left, halfLabel);
  right = std::max(right, halfLabel);
  const int top = metrics.height() / 2 + 2;
  // The time labels start below the lowest value label, which is centred
  // on the plot's bottom line.
  const int bottom = metrics.height() / 2 + 2 + 2 * metrics.height() + 2;
  Plot =
      QRect(left, top, std::max(width() - left - right, 1), std::max(height() - top - bottom, 1));
  MinTickPx = metrics.horizontalAdvance(QStringLiteral("2026-12-08")) + 16;
}

std::int64_t TTrendPlot::TimeStep() const {
  return TimeStepOf(View.ColumnMs() * MinTickPx);
}

std::vector<TValueScale> TTrendPlot::Scales() const {
  std::vector<TValueScale> scales;
  for (const TShownLine& shown : Shown)
    scales.push_back(shown.Scale);
  return scales;
}

void TTrendPlot::Update(bool repaint) {
  if (Shown.empty() && Valid)
    return;
  SyncColumns();
  // New scales may need other widths of their axes, and so other columns.
  if (!Valid || Scales() != Drawn.Scales || size() != Drawn.Size) {
    const QRect plot = Plot;
    Layout();
    if (Plot != plot)
      SyncColumns();
  }
  const std::vector<TValueScale> scales = Scales();

  const std::int64_t first = View.FirstColumn();
  const std::int64_t last = View.LastColumn();
  const std::int64_t moved = first - Drawn.First;
  const bool whole = !Valid || Plot != Drawn.Plot || View.ColumnMs() != Drawn.ColumnMs ||
                     scales != Drawn.Scales || std::abs(moved) >= View.Columns() ||
                     std::any_of(Shown.begin(), Shown.end(),
                                 [](const TShownLine& shown) { return shown.Change.All; });
  const std::int64_t oldFirst = Drawn.First;
  Drawn.Plot = Plot;
  Drawn.Size = size();
  Drawn.First = first;
  Drawn.ColumnMs = View.ColumnMs();
  Drawn.Scales = scales;
  Valid = true;
  if (whole) {
    if (Picture.size() != Plot.size())
      Picture = QImage(Plot.size(), QImage::Format_RGB32);
    DrawColumns(first, last);
    ++Drawn.Full;
    if (repaint)
      update();
    emit Synced();
    return;
  }

  std::int64_t from = last + 1;
  for (const TShownLine& shown : Shown)
    from = std::min(from, shown.Change.From);
  if (moved > 0)
    from = std::min(from, oldFirst + View.Columns());
  from = std::max(from, first);
  if (moved < 0)
    DrawColumns(first, oldFirst - 1);
  if (from <= last)
    DrawColumns(from, last);
  if (repaint) {
    if (moved != 0) {
      // The screen's copy moves as the picture did; the time axis with it.
      scroll(static_cast<int>(-moved), 0, Plot);
      update(QRect(Plot.left(), Plot.bottom() + 1, Plot.width(), TickLength));
      update(QRect(0, TimeLabelsTop(), width(), height() - TimeLabelsTop()));
      // The mouse's line moved with the picture: away from there, back
      // where the mouse is.
      if (MouseX) {
        update(
            QRect(Plot.left() + *MouseX - static_cast<int>(moved), Plot.top(), 1, Plot.height()));
        update(QRect(Plot.left() + *MouseX, Plot.top(), 1, Plot.height()));
      }
      if (moved < 0)
        update(AreaOf(first, oldFirst - 1));
    }
    if (from <= last)
      update(AreaOf(from, last));
  }
  emit Synced();
}

int TTrendPlot::TimeLabelsTop() const {
  return Plot.bottom() + fontMetrics().height() / 2 + 2;
}

QRect TTrendPlot::AreaOf(std::int64_t from, std::int64_t to) const {
  return QRect(Plot.left() + static_cast<int>(from - Drawn.First), Plot.top(),
               static_cast<int>(to - from + 1), Plot.height());
}

void TTrendPlot::DrawColumns(std::int64_t from, std::int64_t to) {
  QPainter painter(&Picture);
  const std::int64_t width = Picture.width();
  const std::int64_t at = FloorMod(from, width);
  const std::int64_t count = to - from + 1;
  if (at + count <= width) {
    DrawPiece(painter, from, to, from - at);
  } else {
    const std::int64_t split = from + (width - at);
    DrawPiece(painter, from, split - 1, from - at);
    DrawPiece(painter, split, to, split);
  }
  Drawn.Columns += count;
}

double TTrendPlot::YOf(const TValueScale& scale, double value) const {
  // Nothing drawn lies off its scale; a hair beyond keeps the painter safe.
  const double fraction = std::clamp(scale.Fraction(value), -0.01, 1.01);
  return (Picture.height() - 1) * (1 - fraction);
}

// The columns from..to, column k at x = k - base of the picture.
void TTrendPlot::DrawPiece(QPainter& painter, std::int64_t from, std::int64_t to,
                           std::int64_t base) {
  const QRect area(static_cast<int>(from - base), 0, static_cast<int>(to - from + 1),
                   Picture.height());
  painter.setClipRect(area);
  painter.fillRect(area, Background);
  const std::int64_t column = View.ColumnMs();

  painter.setPen(QPen(GridColor, 1));
  if (!Shown.empty()) {
    for (const double tick : Shown.front().Scale.Ticks) {
      const int y = static_cast<int>(std::lround(YOf(Shown.front().Scale, tick)));
      painter.drawLine(area.left(), y, area.right(), y);
    }
  }
  for (const TTimeTick& tick : TimeTicks(from * column, (to + 1) * column, TimeStep())) {
    const auto x = static_cast<int>(FloorDiv(tick.TimeMs, column) - base);
    painter.drawLine(x, 0, x, area.bottom());
  }

  // Dashes keep their place in time, whichever columns are drawn.
  const auto dashStart = static_cast<int>(from - FloorMod(from, DashPeriod) - base);
  for (const TShownLine& shown : Shown) {
    QPen pen(shown.Line.Color, 1);
    pen.setDashPattern(LimitDashes);
    painter.setPen(pen);
    for (const std::optional<double>& limit : {shown.Line.Low, shown.Line.High}) {
      if (!limit)
        continue;
      const int y = static_cast<int>(std::lround(YOf(shown.Scale, *limit)));
      painter.drawLine(dashStart, y, area.right() + 1, y);
    }
  }
  for (std::size_t i = 0; i < Shown.size(); ++i)
    DrawLine(painter, i, from, to, base);
}

// What the columns show of the line, joined to the readings on either side
// so that a line crossing their edge is drawn as in a picture drawn whole.
void TTrendPlot::DrawLine(QPainter& painter, std::size_t index, std::int64_t from, std::int64_t to,
                          std::int64_t base) const {
  const TShownLine& shown = Shown[index];
  const TTrendPoints& points = PointsOf(index);
  const std::int64_t column = View.ColumnMs();
  const std::int64_t t0 = from * column;
  const std::int64_t t1 = (to + 1) * column;
  std::vector<TTrendPoint> drawn;
  const TTrendRange range = PointsIn(points, t0, t1);
  if (range.Begin != points.begin())
    drawn.push_back(*(range.Begin - 1));
  const std::vector<TTrendPoint> inside = Decimate(points, t0, t1, static_cast<int>(to - from + 1));
  drawn.insert(drawn.end(), inside.begin(), inside.end());
  if (range.End != points.end())
    drawn.push_back(*range.End);

  painter.setPen(QPen(shown.Line.Color, 1));
  QPolygonF stretch;
  const auto flush = [&] {
    if (stretch.size() == 1)
      painter.drawPoint(stretch.front());
    else if (stretch.size() > 1)
      painter.drawPolyline(stretch);
    stretch.clear();
  };
  for (const TTrendPoint& point : drawn) {
    if (IsGap(point)) {
      flush();
      continue;
    }
    stretch.append(QPointF(static_cast<double>(FloorDiv(point.TimeMs, column) - base),
                           YOf(shown.Scale, point.Value)));
  }
  flush();
}

QString TTrendPlot::ToLabel(const TValueScale& scale, double tick) const {
  return QString::fromStdString(scale.Label(tick, DecimalSeparator));
}

void TTrendPlot::paintEvent(QPaintEvent* event) {
  if (!Valid)
    Update(false);
  QPainter painter(this);
  const QRect area = event->rect();
  const QRegion around = event->region().subtracted(Plot);
  if (!around.isEmpty()) {
    painter.save();
    painter.setClipRegion(around);
    painter.fillRect(area, palette().window());
    painter.setPen(FrameColor);
    painter.drawRect(Plot.adjusted(-1, -1, 0, 0));
    // Only what the area holds: a poll round repaints a strip of columns
    // and, when the plot moved, the time axis.
    const int valueBottom = TimeLabelsTop() - 1;
    if (around.intersects(QRect(0, 0, Plot.left(), valueBottom)) ||
        around.intersects(QRect(Plot.right() + 1, 0, width() - Plot.right() - 1, valueBottom)))
      PaintValueAxes(painter);
    if (area.bottom() > Plot.bottom())
      PaintTimeAxis(painter);
    painter.restore();
  }
  if (area.intersects(Plot))
    PaintPicture(painter, area & Plot);
  if (MouseX && !DragX) {
    QPen pen(CursorColor, 1, Qt::DotLine);
    painter.setPen(pen);
    const int x = Plot.left() + *MouseX;
    painter.drawLine(x, Plot.top(), x, Plot.bottom());
  }
}

// The picture holds column k at x = k modulo its width: the plot's left
// part comes from its right one and the other way round.
void TTrendPlot::PaintPicture(QPainter& painter, const QRect& area) const {
  const int width = Picture.width();
  const auto at = static_cast<int>(FloorMod(Drawn.First, width));
  const std::array<std::pair<QRect, int>, 2> pieces = {
      std::pair{QRect(Plot.left(), Plot.top(), width - at, Plot.height()), at},
      std::pair{QRect(Plot.left() + width - at, Plot.top(), at, Plot.height()), 0}};
  for (const auto& [target, source] : pieces) {
    const QRect part = target & area;
    if (part.isEmpty())
      continue;
    painter.drawImage(part.topLeft(), Picture,
                      QRect(source + part.left() - target.left(), part.top() - Plot.top(),
                            part.width(), part.height()));
  }
}

// Each line's scale in its colour: the first on the left next to the plot,
// the second on the right, the third left of the first, and so on.
void TTrendPlot::PaintValueAxes(QPainter& painter) const {
  const QFontMetrics metrics = fontMetrics();
  int left = Plot.left() - 1;
  int right = Plot.right() + 1;
  for (std::size_t i = 0; i < Shown.size(); ++i) {
    const TShownLine& shown = Shown[i];
    const bool onLeft = i % 2 == 0;
    const int x = onLeft ? left : right;
    painter.setPen(shown.Line.Color);
    painter.drawLine(x, Plot.top(), x, Plot.bottom());
    for (const double tick : shown.Scale.Ticks) {
      const int y = Plot.top() + static_cast<int>(std::lround(YOf(shown.Scale, tick)));
      const int end = onLeft ? x - TickLength : x + TickLength;
      painter.drawLine(x, y, end, y);
      const QString label = ToLabel(shown.Scale, tick);
      const int labelWidth = metrics.horizontalAdvance(label);
      const int labelX = onLeft ? end - 2 - labelWidth : end + 2;
      painter.drawText(labelX, y - metrics.height() / 2 + metrics.ascent(), label);
    }
    (onLeft ? left : right) += onLeft ? -shown.AxisWidth : shown.AxisWidth;
  }
}

// Round local times under the plot, the date under each day's first.
void TTrendPlot::PaintTimeAxis(QPainter& painter) const {
  const QFontMetrics metrics = fontMetrics();
  const std::int64_t column = Drawn.ColumnMs;
  if (column <= 0)
    return;
  const std::int64_t begin = Drawn.First * column;
  const std::int64_t end = (Drawn.First + Plot.width()) * column;
  painter.setPen(palette().color(QPalette::WindowText));
  const int top = Plot.bottom() + 1;
  int timeEnd = -AxisGap;
  int dateEnd = -AxisGap;
  for (const TTimeTick& tick : TimeTicks(begin, end, TimeStep())) {
    const int x = Plot.left() + static_cast<int>(FloorDiv(tick.TimeMs, column) - Drawn.First);
    painter.drawLine(x, top, x, top + TickLength);
    const auto place = [&](const QString& text, int line, int& taken) {
      const int textWidth = metrics.horizontalAdvance(text);
      const int textX = std::clamp(x - textWidth / 2, 0, std::max(width() - textWidth, 0));
      if (textX < taken + AxisGap)
        return;
      painter.drawText(textX, TimeLabelsTop() + line * metrics.height() + metrics.ascent(), text);
      taken = textX + textWidth;
    };
    place(QString::fromStdString(tick.Label), 0, timeEnd);
    if (!tick.Date.empty())
      place(QString::fromStdString(tick.Date), 1, dateEnd);
  }
}

void TTrendPlot::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  Valid = false;
}

void TTrendPlot::wheelEvent(QWheelEvent* event) {
  const double notches = event->angleDelta().y() / 120.0;
  if (notches == 0) {
    event->ignore();
    return;
  }
  const int x = std::clamp(static_cast<int>(event->position().x()) - Plot.left(), 0,
                           std::max(Plot.width() - 1, 0));
  View.Zoom(notches, x);
  Sync();
  emit RangeMoved();
  PointAt(event->position().toPoint());
  event->accept();
}

void TTrendPlot::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || !Plot.contains(event->position().toPoint())) {
    QWidget::mousePressEvent(event);
    return;
  }
  DragX = static_cast<int>(event->position().x());
  setCursor(Qt::ClosedHandCursor);
  PointAt(event->position().toPoint());
}

void TTrendPlot::mouseMoveEvent(QMouseEvent* event) {
  if (DragX) {
    const int x = static_cast<int>(event->position().x());
    if (x != *DragX) {
      View.Pan(x - *DragX);
      DragX = x;
      Sync();
      emit RangeMoved();
    }
  }
  PointAt(event->position().toPoint());
}

void TTrendPlot::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton && DragX) {
    DragX.reset();
    unsetCursor();
    PointAt(event->position().toPoint());
  }
  QWidget::mouseReleaseEvent(event);
}

void TTrendPlot::leaveEvent(QEvent* event) {
  QWidget::leaveEvent(event);
  if (MouseX)
    update(QRect(Plot.left() + *MouseX, Plot.top(), 1, Plot.height()));
  MouseX.reset();
  emit Pointed(std::nullopt, {});
}

void TTrendPlot::PointAt(const QPoint& at) {
  if (MouseX)
    update(QRect(Plot.left() + *MouseX, Plot.top(), 1, Plot.height()));
  if (!Plot.contains(at)) {
    MouseX.reset();
    emit Pointed(std::nullopt, at);
    return;
  }
  MouseX = at.x() - Plot.left();
  update(QRect(at.x(), Plot.top(), 1, Plot.height()));
  emit Pointed(View.TimeAt(*MouseX), at);
}
