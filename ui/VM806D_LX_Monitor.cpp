#include "ui/VM806D_LX_Monitor.h"

#include "line/InstrumentLine.h"
#include "ui/ApplicationErrors.h"
#include "ui/MonitorFonts.h"
#include "ui/MonitorHost.h"
#include "ui/QtColor.h"
#include "ui/QtText.h"
#include "ui/ReadingsRecorder.h"

#include <QCloseEvent>
#include <QFrame>
#include <QLabel>
#include <QShowEvent>
#include <QTimer>

namespace {

constexpr std::int32_t Green = 0x008000;
constexpr std::int32_t Red = 0x0000FF;

const std::vector<std::string> Columns = {"first", "second"};

std::string BytesOf(const QLabel& label) {
  return FromQt(label.text());
}

} // namespace

TTestVM806D_LX_MonitorForm::TTestVM806D_LX_MonitorForm(TMonitorHost& host) : TMonitorWindow(host) {
  CreateControls();
  TakeTurns([this] { TimerTimer(); });
  connect(Readings, &TReadingsRecorder::RecordRequested, this,
          [this](const std::string& path) { Guarded([&] { Readings->Start(path, Columns); }); });
}

void TTestVM806D_LX_MonitorForm::CreateControls() {
  setObjectName("TestVM806D_LX_MonitorForm");
  setWindowTitle("TestVM806D_LX_MonitorForm");
  setFixedSize(362, 218);

  Label1 = CreateValueLabel("Label1", 8, Green);
  Bevel1 = CreateBevel("Bevel1", 8);
  Label2 = CreateValueLabel("Label2", 112, Red);
  Bevel2 = CreateBevel("Bevel2", 112);

  Readings = new TReadingsRecorder(*this, *this, QPoint(14, 12));
}

QLabel* TTestVM806D_LX_MonitorForm::CreateValueLabel(const char* name, int top,
                                                     std::int32_t color) {
  auto* label = new QLabel(name, this);
  label->setObjectName(name);
  label->setGeometry(8, top, 345, 97);
  label->setTextFormat(Qt::PlainText);
  label->setAlignment(Qt::AlignRight | Qt::AlignTop);
  label->setFont(DigitsFont());
  QPalette colors = label->palette();
  colors.setColor(QPalette::WindowText, QColorOfValue(color));
  label->setPalette(colors);
  return label;
}

QFrame* TTestVM806D_LX_MonitorForm::CreateBevel(const char* name, int top) {
  auto* bevel = new QFrame(this);
  bevel->setObjectName(name);
  bevel->setGeometry(8, top, 345, 97);
  bevel->setFrameStyle(QFrame::Box | QFrame::Sunken);
  // Only its frame is drawn, so it must not take the label's clicks either.
  bevel->setAttribute(Qt::WA_TransparentForMouseEvents);
  return bevel;
}

// Its own exchange on the window's line, not numbered and never "(no
// answer)": the answer goes into the log as it came.
void TTestVM806D_LX_MonitorForm::Poll() {
  if (!Line.IsOpen())
    return;
  // A lost device has closed the port, and raises.
  const TReading reading = Line.Exchange("F0");
  Host.AppendOutput(reading.Answer);
  const TTwoValues values = ShowAnswer(reading.Answer);
  Readings->Row(reading.Started, Columns, {values.First, values.Second});
}

TTwoValues TTestVM806D_LX_MonitorForm::ShowAnswer(const std::string& answer) {
  TTwoValueTexts texts{BytesOf(*Label1), BytesOf(*Label2)};
  TTwoValues values;
  try {
    values = DecodeTwoValues(answer, texts, Line.DecimalSeparator());
  } catch (...) {
    // What was decoded before the failure still shows.
    ShowValues(texts.First, texts.Second);
    throw;
  }
  ShowValues(texts.First, texts.Second);
  return values;
}

void TTestVM806D_LX_MonitorForm::ShowValues(const std::string& first, const std::string& second) {
  Label1->setText(ToQt(first));
  Label2->setText(ToQt(second));
}

void TTestVM806D_LX_MonitorForm::TimerTimer() {
  Poll();
}

void TTestVM806D_LX_MonitorForm::closeEvent(QCloseEvent* event) {
  event->ignore();
}
