#include "ui/TrendWindow.h"

#include "base/Exception.h"
#include "ui/ApplicationErrors.h"
#include "ui/QtText.h"
#include "ui/TrendFigures.h"
#include "ui/TrendPlot.h"
#include "watch/TrendStats.h"

#include <QComboBox>
#include <QDateTime>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

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

QString NumberText(double value, char decimalSeparator) {
  QString text = QString::number(value, 'g', 7);
  return text.replace(QLatin1Char('.'), QLatin1Char(decimalSeparator));
}

// A zoomed span as a person says it: "2 h 30 min", "45 s", "3 d 4 h".
QString SpanText(std::int64_t ms) {
  struct TUnit {
    const char* Name;
    std::int64_t Ms;
  };
  constexpr TUnit Units[] = {
      {"d", 24 * 60 * 60 * 1000LL}, {"h", 60 * 60 * 1000LL}, {"min", 60 * 1000LL}, {"s", 1000}};
  QStringList parts;
  std::int64_t left = (ms + 500) / 1000 * 1000;
  for (const TUnit& unit : Units) {
    if (left >= unit.Ms && parts.size() < 2) {
      parts << QStringLiteral("%1 %2").arg(left / unit.Ms).arg(QLatin1String(unit.Name));
      left %= unit.Ms;
    } else if (!parts.isEmpty()) {
      break;
    }
  }
  return parts.join(QLatin1Char(' '));
}

} // namespace

TTrendWindow::TTrendWindow(const TTrendMemory& memory, std::vector<int> panels,
                           char decimalSeparator, QWidget* parent)
    : QWidget(parent, Qt::Window), Memory(memory), PanelsShown(std::move(panels)),
      DecimalSeparator(decimalSeparator), Lows(PanelsShown.size()), Highs(PanelsShown.size()) {
  setAttribute(Qt::WA_DeleteOnClose);
  CreateControls();
  ShowLines();
}

TTrendWindow::~TTrendWindow() = default;

void TTrendWindow::CreateControls() {
  setObjectName(QStringLiteral("TrendWindow"));
  resize(900, 560);

  SpanBox = new QComboBox(this);
  SpanBox->setObjectName(QStringLiteral("SpanBox"));
  for (const TSpan& span : Spans)
    SpanBox->addItem(QString::fromLatin1(span.Name));
  FollowButton = new QPushButton(QStringLiteral("&Follow"), this);
  FollowButton->setObjectName(QStringLiteral("FollowButton"));
  FollowButton->setToolTip(QStringLiteral("Back to the newest reading"));
  FollowButton->setEnabled(false);
  OpenButton = new QPushButton(QStringLiteral("&Open Recording..."), this);
  OpenButton->setObjectName(QStringLiteral("OpenRecordingButton"));
  SaveButton = new QPushButton(QStringLiteral("&Save Image As..."), this);
  SaveButton->setObjectName(QStringLiteral("SaveImageButton"));

  auto* controls = new QHBoxLayout;
  controls->addWidget(new QLabel(QStringLiteral("Span:"), this));
  controls->addWidget(SpanBox);
  controls->addWidget(FollowButton);
  controls->addStretch(1);
  controls->addWidget(OpenButton);
  controls->addWidget(SaveButton);
  Figures = new TTrendFigures(this);
  Figures->setObjectName(QStringLiteral("Figures"));

  View = new TTrendPlot(DecimalSeparator, this);
  View->setObjectName(QStringLiteral("TrendView"));
  MouseLabel = new QLabel(View);
  MouseLabel->setObjectName(QStringLiteral("MouseLabel"));
  MouseLabel->setStyleSheet(
      QStringLiteral("background: #ffffe8; border: 1px solid #999; padding: 2px;"));
  MouseLabel->hide();

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(controls);
  layout->addWidget(Figures);
  layout->addWidget(View, 1);

  SyncTimer = new QTimer(this);
  SyncTimer->setSingleShot(true);
  SyncTimer->setInterval(0);
  connect(SyncTimer, &QTimer::timeout, this, [this] { Guarded([&] { SyncNow(); }); });
  connect(SpanBox, &QComboBox::currentIndexChanged, this,
          [this](int index) { Guarded([&] { SpanPicked(index); }); });
  connect(FollowButton, &QPushButton::clicked, this, [this] {
    Guarded([&] {
      View->Range().Follow();
      View->Sync();
      ShowRange();
    });
  });
  connect(OpenButton, &QPushButton::clicked, this, [this] { Guarded([&] { OpenClick(); }); });
  connect(SaveButton, &QPushButton::clicked, this, [this] { Guarded([&] { SaveClick(); }); });
  connect(View, &TTrendPlot::Synced, this, [this] { Guarded([&] { ShowFigures(); }); });
  connect(View, &TTrendPlot::RangeMoved, this, [this] { Guarded([&] { ShowRange(); }); });
  connect(View, &TTrendPlot::Pointed, this, [this](std::optional<std::int64_t> time, QPoint at) {
    Guarded([&] { ShowMouse(time, at); });
  });
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

void TTrendWindow::ShowLines() {
  const std::vector<TShown> shown = Shown();
  const bool live = RecordingName.empty();
  std::vector<TPlotLine> lines;
  std::vector<QColor> colors;
  for (std::size_t i = 0; i < shown.size(); ++i) {
    colors.push_back(LineColors[i % std::size(LineColors)]);
    lines.push_back({colors.back(), live ? Lows[i] : std::nullopt, live ? Highs[i] : std::nullopt});
  }
  // Looked up at every use: a panel added to the monitor moves the others'
  // readings in the memory.
  View->SetLines(lines, [this](std::size_t index) -> const TTrendPoints& {
    if (!RecordingName.empty())
      return Recording[index].Points;
    return Memory.Of(static_cast<std::size_t>(PanelsShown[index])).Points();
  });
  Figures->SetColors(colors);
  ShowTitle(shown);
}

void TTrendWindow::SetLimits(std::size_t index, std::optional<double> low,
                             std::optional<double> high) {
  if (index >= PanelsShown.size())
    return;
  Lows[index] = low;
  Highs[index] = high;
  // Not held back as readings are: the operator has just changed them.
  if (RecordingName.empty())
    View->SetLimits(index, low, high);
}

void TTrendWindow::Refresh() {
  // A hidden window is drawn when it shows; a recording does not move.
  if (!isVisible() || !RecordingName.empty())
    return;
  if (!SyncTimer->isActive())
    SyncTimer->start();
}

void TTrendWindow::SyncNow() {
  SyncTimer->stop();
  View->Sync();
  ShowTitle(Shown());
}

void TTrendWindow::Redraw() {
  View->Invalidate();
  SyncNow();
}

void TTrendWindow::ShowFigures() {
  const std::vector<TShown> shown = Shown();
  for (std::size_t i = 0; i < shown.size() && i < View->Lines(); ++i) {
    const TTrendStats& stats = View->StatsOf(i);
    const QString text = stats.Count == 0
                             ? shown[i].Label + QStringLiteral(": no readings shown")
                             : QStringLiteral("%1: min %2 / max %3 / mean %4 / last %5")
                                   .arg(shown[i].Label, NumberText(stats.Min, DecimalSeparator),
                                        NumberText(stats.Max, DecimalSeparator),
                                        NumberText(stats.Mean, DecimalSeparator),
                                        NumberText(stats.Last, DecimalSeparator));
    Figures->SetText(i, text);
  }
}

void TTrendWindow::SpanPicked(int index) {
  if (index < 0 || index >= static_cast<int>(std::size(Spans)))
    return;
  View->Range().SetSpan(Spans[index].Ms);
  View->Sync();
  ShowRange();
}

void TTrendWindow::ShowRange() {
  const std::int64_t span = View->Range().SpanMs();
  const auto picked = std::find_if(std::begin(Spans), std::end(Spans),
                                   [&](const TSpan& one) { return one.Ms == span; });
  const QSignalBlocker quiet(SpanBox);
  if (picked != std::end(Spans)) {
    SpanBox->setCurrentIndex(static_cast<int>(picked - std::begin(Spans)));
  } else {
    SpanBox->setPlaceholderText(SpanText(span));
    SpanBox->setCurrentIndex(-1);
  }
  FollowButton->setEnabled(!View->Range().Following());
}

void TTrendWindow::ShowTitle(const std::vector<TShown>& shown) {
  QStringList labels;
  for (const TShown& line : shown)
    labels.append(line.Label);
  QString title = QStringLiteral("Trend ") + labels.join(QStringLiteral(", "));
  if (!RecordingName.empty())
    title += QStringLiteral(" - ") + QFile::decodeName(RecordingName.c_str());
  if (windowTitle() != title)
    setWindowTitle(title);
}

std::vector<std::string> TTrendWindow::FiguresText() const {
  std::vector<std::string> texts;
  for (const QString& text : Figures->Texts())
    texts.push_back(text.toStdString());
  return texts;
}

// The time under the mouse and each line's reading then.
void TTrendWindow::ShowMouse(std::optional<std::int64_t> time, QPoint at) {
  if (!time) {
    MouseLabel->hide();
    return;
  }
  QStringList text = {
      QDateTime::fromMSecsSinceEpoch(*time).toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))};
  for (const TShown& line : Shown()) {
    const std::optional<double> reading = ValueAt(*line.Points, *time);
    text.append(line.Label + QStringLiteral(": ") +
                (reading ? NumberText(*reading, DecimalSeparator) : QStringLiteral("-")));
  }
  MouseLabel->setText(text.join(QLatin1Char('\n')));
  MouseLabel->adjustSize();
  QPoint place = at + QPoint(14, 14);
  if (place.x() + MouseLabel->width() > View->width())
    place.setX(at.x() - 14 - MouseLabel->width());
  if (place.y() + MouseLabel->height() > View->height())
    place.setY(at.y() - 14 - MouseLabel->height());
  MouseLabel->move(place);
  MouseLabel->show();
  MouseLabel->raise();
}

void TTrendWindow::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (RecordingName.empty())
    SyncTimer->start();
}

void TTrendWindow::OpenRecording(const std::string& path) {
  std::vector<TReadingsColumn> columns = ReadReadingsFile(path);
  Recording = std::move(columns);
  RecordingName = FromQt(QFileInfo(QFile::decodeName(path.c_str())).fileName());
  ShowLines();
  View->Range().Follow();
  Redraw();
  ShowRange();
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
