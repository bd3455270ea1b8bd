#include "ui/TrendWindow.h"

#include "base/Exception.h"
#include "ui/ApplicationErrors.h"
#include "ui/QtText.h"
#include "watch/Decimate.h"
#include "watch/TrendStats.h"
#include "watch/ValueScale.h"

#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QDateTime>
#include <QDateTimeAxis>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineSeries>
#include <QMouseEvent>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <QValueAxis>

#include <algorithm>
#include <limits>

namespace {

struct TSpan {
  const char* Name;
  std::int64_t Ms;
};
constexpr TSpan Spans[] = {
    {"10 minutes", 10 * 60 * 1000LL},
    {"1 hour", 60 * 60 * 1000LL},
    {"8 hours", 8 * 60 * 60 * 1000LL},
    {"24 hours", 24 * 60 * 60 * 1000LL},
};

// Distinct on white, in the order panels are added.
const QColor LineColors[] = {QColor(0x1f, 0x77, 0xb4), QColor(0xd6, 0x27, 0x28),
                             QColor(0x2c, 0xa0, 0x2c), QColor(0xff, 0x7f, 0x0e),
                             QColor(0x94, 0x67, 0xbd), QColor(0x8c, 0x56, 0x4b),
                             QColor(0xe3, 0x77, 0xc2), QColor(0x7f, 0x7f, 0x7f),
                             QColor(0xbc, 0xbd, 0x22), QColor(0x17, 0xbe, 0xcf)};

// Qt Charts drops a point that is not a number and joins its neighbours, so
// each unbroken stretch of a line is a series of its own. Beyond this many
// stretches in view, the last ones are joined.
constexpr std::size_t MaxStretches = 64;

QString NumberText(double value, char decimalSeparator) {
  QString text = QString::number(value, 'g', 7);
  return text.replace(QLatin1Char('.'), QLatin1Char(decimalSeparator));
}

std::vector<QList<QPointF>> Stretches(const std::vector<TTrendPoint>& points) {
  std::vector<QList<QPointF>> stretches(1);
  for (const TTrendPoint& point : points) {
    if (IsGap(point)) {
      if (!stretches.back().isEmpty())
        stretches.emplace_back();
      continue;
    }
    stretches.back().append(QPointF(static_cast<qreal>(point.TimeMs), point.Value));
  }
  if (stretches.back().isEmpty())
    stretches.pop_back();
  while (stretches.size() > MaxStretches) {
    stretches[stretches.size() - 2].append(stretches.back());
    stretches.pop_back();
  }
  return stretches;
}

} // namespace

struct TTrendWindow::TLine {
  QColor Color;
  QValueAxis* Axis = nullptr;
  std::vector<QLineSeries*> Stretches;
  QLineSeries* LowLine = nullptr;
  QLineSeries* HighLine = nullptr;
  std::optional<double> Low;
  std::optional<double> High;
  QLabel* Figures = nullptr;
};

TTrendWindow::TTrendWindow(const TTrendMemory& memory, std::vector<int> panels,
                           char decimalSeparator, QWidget* parent)
    : QWidget(parent, Qt::Window), Memory(memory), PanelsShown(std::move(panels)),
      DecimalSeparator(decimalSeparator) {
  setAttribute(Qt::WA_DeleteOnClose);
  CreateControls();
  Redraw();
}

TTrendWindow::~TTrendWindow() = default;

void TTrendWindow::CreateControls() {
  setObjectName(QStringLiteral("TrendWindow"));
  resize(900, 560);

  SpanBox = new QComboBox(this);
  SpanBox->setObjectName(QStringLiteral("SpanBox"));
  for (const TSpan& span : Spans)
    SpanBox->addItem(QString::fromLatin1(span.Name));
  OpenButton = new QPushButton(QStringLiteral("Open Recording..."), this);
  OpenButton->setObjectName(QStringLiteral("OpenRecordingButton"));
  SaveButton = new QPushButton(QStringLiteral("Save Image As..."), this);
  SaveButton->setObjectName(QStringLiteral("SaveImageButton"));

  auto* controls = new QHBoxLayout;
  controls->addWidget(new QLabel(QStringLiteral("Span:"), this));
  controls->addWidget(SpanBox);
  controls->addStretch(1);
  controls->addWidget(OpenButton);
  controls->addWidget(SaveButton);
  FiguresBox = new QVBoxLayout;
  FiguresBox->setSpacing(0);

  Chart = new QChart;
  Chart->legend()->hide();
  Chart->setMargins(QMargins(4, 4, 4, 4));
  TimeAxis = new QDateTimeAxis;
  TimeAxis->setTickCount(7);
  Chart->addAxis(TimeAxis, Qt::AlignBottom);
  View = new QChartView(Chart, this);
  View->setObjectName(QStringLiteral("TrendView"));
  View->setRenderHint(QPainter::Antialiasing, false);
  View->viewport()->setMouseTracking(true);
  View->viewport()->installEventFilter(this);
  MouseLabel = new QLabel(View->viewport());
  MouseLabel->setObjectName(QStringLiteral("MouseLabel"));
  MouseLabel->setStyleSheet(
      QStringLiteral("background: #ffffe8; border: 1px solid #999; padding: 2px;"));
  MouseLabel->hide();

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(controls);
  layout->addLayout(FiguresBox);
  layout->addWidget(View, 1);

  RedrawTimer = new QTimer(this);
  RedrawTimer->setSingleShot(true);
  RedrawTimer->setInterval(0);
  connect(RedrawTimer, &QTimer::timeout, this, [this] { Guarded([&] { Redraw(); }); });
  connect(SpanBox, &QComboBox::currentIndexChanged, this, [this] { Guarded([&] { Redraw(); }); });
  connect(OpenButton, &QPushButton::clicked, this, [this] { Guarded([&] { OpenClick(); }); });
  connect(SaveButton, &QPushButton::clicked, this, [this] { Guarded([&] { SaveClick(); }); });
}

void TTrendWindow::SetLimits(std::size_t index, std::optional<double> low,
                             std::optional<double> high) {
  if (index >= PanelsShown.size())
    return;
  MatchLines(std::max(Lines.size(), index + 1));
  Lines[index]->Low = low;
  Lines[index]->High = high;
  // Not held back as readings are: the operator has just changed them.
  if (isVisible() && RecordingName.empty())
    RedrawTimer->start(0);
}

void TTrendWindow::Refresh() {
  // A hidden window is drawn when it shows; a recording does not move.
  if (!isVisible() || !RecordingName.empty())
    return;
  // The chart can only move by whole pixel columns: readings that do not
  // move its end by one are drawn with the next that does, or once a
  // column's time has passed, whichever comes first.
  const std::int64_t column = ColumnMs();
  // A redraw already due stays due: restarted by every round, it would
  // wait behind the polls for ever while they take their whole second.
  if (EndMs(Shown()) - ShownT1 >= column) {
    if (!RedrawTimer->isActive() || RedrawTimer->remainingTime() > 0)
      RedrawTimer->start(0);
  } else if (!RedrawTimer->isActive())
    RedrawTimer->start(static_cast<int>(std::min<std::int64_t>(column, 60 * 60 * 1000)));
}

std::int64_t TTrendWindow::ColumnMs() const {
  const int plotWidth = static_cast<int>(Chart->plotArea().width());
  return std::max<std::int64_t>(SpanMs() / std::max(plotWidth > 10 ? plotWidth : View->width(), 1),
                                1);
}

std::vector<TTrendWindow::TShown> TTrendWindow::Shown() const {
  std::vector<TShown> shown;
  if (!RecordingName.empty()) {
    for (const TReadingsColumn& column : Recording)
      shown.push_back({QString::fromStdString(column.Name), &column.Points});
    return shown;
  }
  for (const int panel : PanelsShown) {
    const TTrendSeries& series = Memory.Of(static_cast<std::size_t>(panel));
    shown.push_back(
        {series.Label().empty() ? QStringLiteral("Panel%1").arg(panel + 1) : ToQt(series.Label()),
         &series.Points()});
  }
  return shown;
}

std::int64_t TTrendWindow::SpanMs() const {
  return Spans[std::clamp(SpanBox->currentIndex(), 0, static_cast<int>(std::size(Spans)) - 1)].Ms;
}

// The view ends at the newest reading; before any, now.
std::int64_t TTrendWindow::EndMs(const std::vector<TShown>& shown) const {
  std::optional<std::int64_t> end;
  for (const TShown& line : shown) {
    if (!line.Points->empty())
      end = std::max(end.value_or(line.Points->back().TimeMs), line.Points->back().TimeMs);
  }
  return end ? *end : QDateTime::currentMSecsSinceEpoch();
}

void TTrendWindow::MatchLines(std::size_t count) {
  while (Lines.size() > count) {
    TLine& line = *Lines.back();
    std::vector<QLineSeries*> series = line.Stretches;
    series.insert(series.end(), {line.LowLine, line.HighLine});
    for (QLineSeries* one : series) {
      Chart->removeSeries(one);
      delete one;
    }
    Chart->removeAxis(line.Axis);
    delete line.Axis;
    delete line.Figures;
    Lines.pop_back();
  }
  while (Lines.size() < count) {
    auto line = std::make_unique<TLine>();
    line->Color = LineColors[Lines.size() % std::size(LineColors)];
    line->Axis = new QValueAxis;
    line->Axis->setLabelsColor(line->Color);
    line->Axis->setLinePenColor(line->Color);
    line->Axis->setGridLineVisible(Lines.empty());
    line->Axis->setTickType(QValueAxis::TicksDynamic);
    line->Axis->setTickAnchor(0);
    Chart->addAxis(line->Axis, Lines.size() % 2 == 0 ? Qt::AlignLeft : Qt::AlignRight);
    for (QLineSeries** limit : {&line->LowLine, &line->HighLine}) {
      *limit = new QLineSeries;
      QPen pen(line->Color, 1, Qt::DashLine);
      (*limit)->setPen(pen);
      Chart->addSeries(*limit);
      (*limit)->attachAxis(TimeAxis);
      (*limit)->attachAxis(line->Axis);
    }
    line->Figures = new QLabel(this);
    line->Figures->setObjectName(QStringLiteral("Figures%1").arg(Lines.size() + 1));
    line->Figures->setStyleSheet(QStringLiteral("color: %1;").arg(line->Color.name()));
    FiguresBox->addWidget(line->Figures);
    Lines.push_back(std::move(line));
  }
}

void TTrendWindow::Redraw() {
  RedrawTimer->stop();
  const std::vector<TShown> shown = Shown();
  MatchLines(shown.size());
  const std::int64_t end = EndMs(shown);
  ShownT0 = end - SpanMs();
  ShownT1 = end;
  TimeAxis->setFormat(SpanMs() <= 60 * 60 * 1000LL ? QStringLiteral("HH:mm:ss")
                                                   : QStringLiteral("HH:mm"));
  TimeAxis->setRange(QDateTime::fromMSecsSinceEpoch(ShownT0),
                     QDateTime::fromMSecsSinceEpoch(ShownT1));
  // Before the first layout the plot area is empty: the view's width then.
  const int plotWidth = static_cast<int>(Chart->plotArea().width());
  const int columns = std::max(plotWidth > 10 ? plotWidth : View->width(), 1);
  for (std::size_t i = 0; i < shown.size(); ++i)
    DrawLine(*Lines[i], shown[i], ShownT0, ShownT1, columns);
  ShowTitle(shown);
}

void TTrendWindow::DrawLine(TLine& line, const TShown& shown, std::int64_t t0, std::int64_t t1,
                            int columns) {
  const std::vector<QList<QPointF>> stretches =
      Stretches(Decimate(*shown.Points, t0, t1 + 1, columns));
  while (line.Stretches.size() < stretches.size()) {
    auto* series = new QLineSeries;
    // A one-pixel pen takes the painter's fast path; a wider one is stroked
    // and makes a redraw take half as long again.
    series->setPen(QPen(line.Color, 1));
    Chart->addSeries(series);
    series->attachAxis(TimeAxis);
    series->attachAxis(line.Axis);
    line.Stretches.push_back(series);
  }
  for (std::size_t i = 0; i < line.Stretches.size(); ++i) {
    if (i < stretches.size())
      line.Stretches[i]->replace(stretches[i]);
    else if (line.Stretches[i]->count() > 0)
      line.Stretches[i]->clear();
  }
  if (!line.Stretches.empty())
    line.Stretches.front()->setName(shown.Label);

  const bool live = RecordingName.empty();
  const std::optional<double> low = live ? line.Low : std::nullopt;
  const std::optional<double> high = live ? line.High : std::nullopt;
  const auto drawLimit = [&](QLineSeries& series, std::optional<double> value) {
    if (value)
      series.replace(
          {QPointF(static_cast<qreal>(t0), *value), QPointF(static_cast<qreal>(t1), *value)});
    else if (series.count() > 0)
      series.clear();
  };
  drawLimit(*line.LowLine, low);
  drawLimit(*line.HighLine, high);

  const TTrendStats stats = StatsOf(*shown.Points, t0, t1);
  std::vector<double> fitted;
  if (stats.Count > 0)
    fitted = {stats.Min, stats.Max};
  for (const std::optional<double>& limit : {low, high}) {
    if (limit)
      fitted.push_back(*limit);
  }
  ShowScale(*line.Axis, ValueScaleOf(fitted));

  line.Figures->setText(stats.Count == 0
                            ? shown.Label + QStringLiteral(": no readings shown")
                            : QStringLiteral("%1: min %2 / max %3 / mean %4 / last %5")
                                  .arg(shown.Label, NumberText(stats.Min, DecimalSeparator),
                                       NumberText(stats.Max, DecimalSeparator),
                                       NumberText(stats.Mean, DecimalSeparator),
                                       NumberText(stats.Last, DecimalSeparator)));
}

// Ticks on round values, which the eye reads at once. The chart lays its
// ticks out at once when the range changes and at the next layout when the
// step changes: the step and the first tick go first, so no layout ever
// meets the new range with the old step. Each is set only when it changes,
// as each change lays the chart out anew.
void TTrendWindow::ShowScale(QValueAxis& axis, const TValueScale& scale) {
  if (axis.tickInterval() != scale.Step)
    axis.setTickInterval(scale.Step);
  if (axis.tickAnchor() != scale.Ticks.front())
    axis.setTickAnchor(scale.Ticks.front());
  if (const QString format = QString::fromStdString(scale.LabelFormat());
      axis.labelFormat() != format)
    axis.setLabelFormat(format);
  // A hair above the top tick, which the chart reaches by adding up steps.
  axis.setRange(scale.Low,
                std::min(scale.High + scale.Step / 1024, std::numeric_limits<double>::max()));
}

void TTrendWindow::ShowTitle(const std::vector<TShown>& shown) {
  QStringList labels;
  for (const TShown& line : shown)
    labels.append(line.Label);
  QString title = QStringLiteral("Trend ") + labels.join(QStringLiteral(", "));
  if (!RecordingName.empty())
    title += QStringLiteral(" - ") + QFile::decodeName(RecordingName.c_str());
  setWindowTitle(title);
}

std::vector<std::string> TTrendWindow::FiguresText() const {
  std::vector<std::string> texts;
  for (const std::unique_ptr<TLine>& line : Lines)
    texts.push_back(line->Figures->text().toStdString());
  return texts;
}

bool TTrendWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched == View->viewport()) {
    if (event->type() == QEvent::MouseMove)
      Guarded([&] { ShowMouse(static_cast<QMouseEvent*>(event)->position().toPoint()); });
    else if (event->type() == QEvent::Leave)
      MouseLabel->hide();
  }
  return QWidget::eventFilter(watched, event);
}

// The time under the mouse and each line's reading then.
void TTrendWindow::ShowMouse(const QPoint& at) {
  const QPointF scenePoint = View->mapToScene(at);
  const QPointF chartPoint = Chart->mapFromScene(scenePoint);
  if (!Chart->plotArea().contains(chartPoint) || Lines.empty() ||
      Lines.front()->Stretches.empty()) {
    MouseLabel->hide();
    return;
  }
  const QPointF value = Chart->mapToValue(chartPoint, Lines.front()->Stretches.front());
  const auto time = static_cast<std::int64_t>(value.x());
  QStringList text = {
      QDateTime::fromMSecsSinceEpoch(time).toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))};
  const std::vector<TShown> shown = Shown();
  for (const TShown& line : shown) {
    const std::optional<double> reading = ValueAt(*line.Points, time);
    text.append(line.Label + QStringLiteral(": ") +
                (reading ? NumberText(*reading, DecimalSeparator) : QStringLiteral("-")));
  }
  MouseLabel->setText(text.join(QLatin1Char('\n')));
  MouseLabel->adjustSize();
  QPoint place = at + QPoint(14, 14);
  if (place.x() + MouseLabel->width() > View->viewport()->width())
    place.setX(at.x() - 14 - MouseLabel->width());
  if (place.y() + MouseLabel->height() > View->viewport()->height())
    place.setY(at.y() - 14 - MouseLabel->height());
  MouseLabel->move(place);
  MouseLabel->show();
  MouseLabel->raise();
}

void TTrendWindow::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (RecordingName.empty())
    RedrawTimer->start(0);
}

void TTrendWindow::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  // The plot area follows at the next layout.
  RedrawTimer->start(0);
}

void TTrendWindow::OpenRecording(const std::string& path) {
  std::vector<TReadingsColumn> columns = ReadReadingsFile(path);
  Recording = std::move(columns);
  RecordingName = FromQt(QFileInfo(QFile::decodeName(path.c_str())).fileName());
  Redraw();
}

void TTrendWindow::SaveImage(const std::string& path) {
  if (!View->grab().save(QFile::decodeName(path.c_str()), "PNG"))
    throw Exception("Could not save the image " + path);
}

void TTrendWindow::OpenClick() {
  if (OpenDialog == nullptr) {
    OpenDialog = new QFileDialog(this, QStringLiteral("Open Recording"));
    OpenDialog->setObjectName(QStringLiteral("OpenRecordingDialog"));
    OpenDialog->setFileMode(QFileDialog::ExistingFile);
    OpenDialog->setNameFilters(
        {QStringLiteral("Readings (*.csv)"), QStringLiteral("All files (*)")});
  }
  if (OpenDialog->exec() != QDialog::Accepted || OpenDialog->selectedFiles().isEmpty())
    return;
  OpenRecording(QFile::encodeName(OpenDialog->selectedFiles().front()).toStdString());
}

void TTrendWindow::SaveClick() {
  if (SaveDialog == nullptr) {
    SaveDialog = new QFileDialog(this, QStringLiteral("Save Image As"));
    SaveDialog->setObjectName(QStringLiteral("SaveImageDialog"));
    SaveDialog->setAcceptMode(QFileDialog::AcceptSave);
    SaveDialog->setDefaultSuffix(QStringLiteral("png"));
    SaveDialog->setNameFilter(QStringLiteral("PNG images (*.png)"));
  }
  if (SaveDialog->exec() != QDialog::Accepted || SaveDialog->selectedFiles().isEmpty())
    return;
  SaveImage(QFile::encodeName(SaveDialog->selectedFiles().front()).toStdString());
}
