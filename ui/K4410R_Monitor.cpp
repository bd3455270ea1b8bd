#include "ui/K4410R_Monitor.h"

#include "line/InstrumentLine.h"
#include "record/TimeText.h"
#include "serial/EchoStrip.h"
#include "settings/DatabaseUnit.h"
#include "settings/LimitsDatabase.h"
#include "settings/SettingNames.h"
#include "ui/ApplicationErrors.h"
#include "ui/ColorValue.h"
#include "ui/LimitsDialog.h"
#include "ui/MonitorFonts.h"
#include "ui/MonitorHost.h"
#include "ui/MonitorPanel.h"
#include "ui/PanelLayout.h"
#include "ui/QtColor.h"
#include "ui/QtText.h"
#include "ui/ReadingsRecorder.h"
#include "ui/Trend.h"
#include "ui/WindowPlacement.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QColorDialog>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QShowEvent>
#include <QTimer>

#include <algorithm>
#include <iterator>

namespace {

constexpr int ClientWidth = 314;
constexpr int ClientHeight = 170;

TBounds BoundsOf(const QWidget& widget) {
  return BoundsOf(widget.geometry());
}

QRect RectOf(const TBounds& bounds) {
  return QRect(bounds.Left, bounds.Top, bounds.Width, bounds.Height);
}

std::string TextOf(const QLineEdit& edit) {
  return FromQt(edit.text());
}

void SetTextOf(QLineEdit& edit, const std::string& text) {
  edit.setText(ToQt(text));
}

} // namespace

TK4410R_MonitorForm::TK4410R_MonitorForm(TMonitorHost& host) : TMonitorWindow(host) {
  CreateControls();
  BindEvents();
  InitPanels();
}

TK4410R_MonitorForm::~TK4410R_MonitorForm() {
  Guarded([&] { Host.SaveMonitorLayout(); });
  // The trend windows read the memory: they go first.
  qDeleteAll(Trends->Windows());
}

void TK4410R_MonitorForm::FormCreate() {
  // The panels the layout made have their limits, also when it failed part
  // way.
  try {
    Host.LoadMonitorLayout();
  } catch (...) {
    RestoreLimits();
    throw;
  }
  RestoreLimits();
}

void TK4410R_MonitorForm::RestoreLimits() {
  const TDatabase* limits = Host.LimitSettings();
  if (limits == nullptr)
    return;
  const char separator = Line.DecimalSeparator();
  for (std::size_t i = 0; i < Watches.size() && i < static_cast<std::size_t>(Setting::LimitsPanels);
       ++i) {
    const int index = static_cast<int>(i);
    Watches[i].Restore({limits->GetString(PanelLowName(index)),
                        limits->GetString(PanelHighName(index)),
                        limits->GetString(PanelHysteresisName(index))},
                       separator);
    ShowLimits(i);
  }
  Beep = limits->GetBoolean(Setting::Beep);
}

void TK4410R_MonitorForm::StoreLimits() {
  TDatabase* limits = Host.LimitSettings();
  if (limits == nullptr)
    return;
  for (int i = 0; i < Setting::LimitsPanels; ++i) {
    // A removed panel's limits are forgotten.
    const TLimitTexts texts =
        static_cast<std::size_t>(i) < Watches.size() ? Watches[i].Texts() : TLimitTexts{};
    limits->SetString(PanelLowName(i), texts.Low);
    limits->SetString(PanelHighName(i), texts.High);
    limits->SetString(PanelHysteresisName(i), texts.Hysteresis);
  }
  limits->SetBoolean(Setting::Beep, Beep);
}

void TK4410R_MonitorForm::CreateControls() {
  setObjectName("K4410R_MonitorForm");
  setWindowTitle("K4410R_MonitorForm");
  setFont(MonitorFormFont());
  setFixedSize(ClientWidth, ClientHeight);

  ControlPanel = new QWidget(this);
  ControlPanel->setObjectName("ControlPanel");
  ControlPanel->setGeometry(0, 0, ClientWidth, 41);

  AddButton = new QPushButton("&+", ControlPanel);
  AddButton->setObjectName("AddButton");
  AddButton->setGeometry(4, 8, 25, 25);

  RemoveButton = new QPushButton("&-", ControlPanel);
  RemoveButton->setObjectName("RemoveButton");
  RemoveButton->setGeometry(36, 8, 25, 25);
  RemoveButton->setEnabled(false);

  ShowEditCheckBox = new QCheckBox("Show Editors", ControlPanel);
  ShowEditCheckBox->setObjectName("ShowEditCheckBox");
  ShowEditCheckBox->setGeometry(68, 12, 97, 17);

  Panel1 = new TMonitorPanel(this);
  Panel1->setObjectName("Panel1");
  Panel1->setGeometry(0, 48, 313, 121);
  Panel1->SetColor(WindowTextColor);
  Panel1->SetCaption("Panel1");

  Edit1 = new QLineEdit(Panel1);
  Edit1->setObjectName("Edit1");
  Edit1->setGeometry(4, 4, 65, 21);
  Edit1->setFont(MonitorFormFont());
  Edit1->setText("p.v");
  Edit1->hide();
  // Given after the editor has its own font: an editor laid out in the
  // inherited digits first would load that large font while the window is
  // still hidden.
  Panel1->setFont(DigitsFont());

  Readings = new TReadingsRecorder(*this, *ControlPanel, QPoint(250, 14));
  TrendAction = new QAction(QStringLiteral("Trend of All Panels..."), this);
  addAction(TrendAction);
  // Holds no trend window until one opens.
  Trends = std::make_unique<TTrendWindows>(*this, TrendMemory, Watches, Line.DecimalSeparator());
}

void TK4410R_MonitorForm::BindEvents() {
  connect(AddButton, &QPushButton::clicked, this, [this] { Guarded([&] { AddButtonClick(); }); });
  connect(RemoveButton, &QPushButton::clicked, this,
          [this] { Guarded([&] { RemoveButtonClick(); }); });
  // Also fires when loading the layout changes the state, as a click would.
  connect(ShowEditCheckBox, &QCheckBox::toggled, this,
          [this](bool checked) { Guarded([&] { ShowEditors(checked); }); });
  TakeTurns([this] { TimerTimer(); });
  connect(Readings, &TReadingsRecorder::RecordRequested, this, [this](const std::string& path) {
    Guarded([&] { Readings->Start(path, RecordedColumns()); });
  });
  connect(TrendAction, &QAction::triggered, this, [this] { Guarded([&] { TrendClick(); }); });
  BindPanel(*Panel1);
  BindEditor(*Edit1);
}

void TK4410R_MonitorForm::BindPanel(TMonitorPanel& panel) {
  connect(&panel, &TMonitorPanel::DoubleClicked, this,
          [this](TMonitorPanel* clicked) { Guarded([&] { ChoosePanelColor(*clicked); }); });
  panel.setContextMenuPolicy(Qt::CustomContextMenu);
  connect(&panel, &QWidget::customContextMenuRequested, this,
          [this, &panel](const QPoint& at) { Guarded([&] { ShowPanelMenu(panel, at); }); });
}

void TK4410R_MonitorForm::BindEditor(QLineEdit& edit) {
  connect(&edit, &QLineEdit::editingFinished, this, [this, &edit] {
    const auto found = std::find(Editors.begin(), Editors.end(), &edit);
    if (found != Editors.end())
      TakeColumn(static_cast<std::size_t>(found - Editors.begin()));
  });
}

void TK4410R_MonitorForm::TakeColumn(std::size_t panel) {
  Columns[panel] = TrimBlanks(TextOf(*Editors[panel]));
}

void TK4410R_MonitorForm::InitPanels() {
  Panels = {Panel1};
  Editors = {Edit1};
  Watches.assign(1, TPanelWatch{});
  Columns.assign(1, TrimBlanks(TextOf(*Edit1)));
  PanelGap = 4;
}

void TK4410R_MonitorForm::AddPanel() {
  const TMonitorPanel& last = *Panels.back();
  const QString number = QString::number(Panels.size() + 1);

  auto* panel = new TMonitorPanel(this);
  panel->setObjectName("Panel" + number);
  panel->setText(panel->objectName());
  panel->setGeometry(RectOf(NextPanelBounds(BoundsOf(last), PanelGap)));
  panel->CopyLookFrom(last);
  BindPanel(*panel);
  Panels.push_back(panel);
  Watches.emplace_back();

  const QLineEdit& first = *Editors.front();
  auto* edit = new QLineEdit(panel);
  edit->setObjectName("Edit" + QString::number(Editors.size() + 1));
  edit->setGeometry(first.geometry());
  edit->setFont(first.font());
  edit->setVisible(!first.isHidden());
  BindEditor(*edit);
  Editors.push_back(edit);
  Columns.emplace_back();

  panel->show();
  GrowBy(PanelStep(BoundsOf(*panel), PanelGap));
  RemoveButton->setEnabled(true);
}

void TK4410R_MonitorForm::RemovePanel() {
  // The designed panel always stays.
  if (Panels.size() <= 1)
    return;
  GrowBy(-PanelStep(BoundsOf(*Panels.back()), PanelGap));
  delete Editors.back();
  Editors.pop_back();
  delete Panels.back();
  Panels.pop_back();
  Watches.pop_back();
  Columns.pop_back();
  TrendMemory.KeepPanels(Panels.size());
  // Its trends drop its limits; a panel added in its place has its own.
  Trends->LimitsChanged(static_cast<int>(Panels.size()));
}

void TK4410R_MonitorForm::GrowBy(int pixels) {
  setFixedHeight(height() + pixels);
}

void TK4410R_MonitorForm::ShowEditors(bool visible) {
  for (QLineEdit* edit : Editors)
    edit->setVisible(visible);
}

void TK4410R_MonitorForm::ChoosePanelColor(TMonitorPanel& panel) {
  if (ColorDialog == nullptr) {
    // Made at first use: building a colour dialog (its buttons look up
    // their icons) costs more than the rest of the program's start.
    ColorDialog = new QColorDialog(this);
    ColorDialog->setObjectName("ColorDialog");
  }
  ColorDialog->setCurrentColor(QColorOfValue(panel.Color()));
  if (ColorDialog->exec() == QDialog::Accepted)
    panel.SetColor(ValueOfQColor(ColorDialog->selectedColor()));
}

void TK4410R_MonitorForm::PollPanels() {
  // A tick that arrives while an exchange lets events through waits for the
  // next one instead of starting a second poll inside the first.
  if (Polling)
    return;
  Polling = true;
  struct TPollingEnd {
    bool& Flag;
    ~TPollingEnd() { Flag = false; }
  } pollingEnd{Polling};

  const platform::LocalTime started = platform::CurrentLocalTime();
  const std::int64_t startedMs = EpochMs(started);
  // A panel polled with another text than its column's, while its command
  // is being edited, leaves its cell empty.
  std::vector<std::optional<TShownValue>> cells(Columns.size());
  for (std::size_t i = 0; i < Editors.size(); ++i) {
    if (!Line.IsOpen())
      return;
    const std::string command = TrimBlanks(TextOf(*Editors[i]));
    if (command.empty())
      continue;
    TReading reading;
    const std::string logged = Host.SendAndLog(command, reading);
    if (i < Panels.size()) {
      // Silence shows as the log has it.
      Panels[i]->SetCaption(reading.Shown ? reading.Shown->Text : PanelCaption(logged, command));
      JudgePanel(i, reading);
    }
    TrendMemory.Add(i, startedMs, reading);
    if (i < cells.size() && i < Columns.size() && command == Columns[i])
      cells[i] = reading.Shown;
  }
  Trends->RoundAdded();
  // Panels added or removed during the round count as they are now.
  cells.resize(Columns.size());
  std::vector<std::optional<TShownValue>> values;
  for (std::size_t i = 0; i < Columns.size(); ++i) {
    if (!Columns[i].empty())
      values.push_back(cells[i]);
  }
  Readings->Row(started, RecordedColumns(), values);
}

void TK4410R_MonitorForm::JudgePanel(std::size_t panel, const TReading& reading) {
  const std::optional<TLimitEvent> event = Watches[panel].Judge(reading);
  Panels[panel]->SetLook(Watches[panel].Look());
  if (event)
    ReportCrossing(reading.Command, *event);
}

// The panel's look and the lines its trend draws follow its limits.
void TK4410R_MonitorForm::ShowLimits(std::size_t panel) {
  Panels[panel]->SetLook(Watches[panel].Look());
  Trends->LimitsChanged(static_cast<int>(panel));
}

void TK4410R_MonitorForm::ReportCrossing(const std::string& command, const TLimitEvent& event) {
  Line.Event(SessionKind::Limit,
             {command, event.Value, event.Limit, DirectionName(event.Direction)});
  if (Beep && event.Direction != TDirection::Inside)
    QApplication::beep();
}

void TK4410R_MonitorForm::EditLimits(std::size_t panel) {
  if (LimitsDialog == nullptr)
    LimitsDialog = new TLimitsDialog(this, Line.DecimalSeparator());
  LimitsDialog->SetTexts(Watches.at(panel).Texts());
  LimitsDialog->SetBeep(Beep);
  // The dialog has checked the texts; a panel gone meanwhile keeps nothing.
  if (LimitsDialog->exec() != QDialog::Accepted || panel >= Watches.size())
    return;
  Beep = LimitsDialog->Beep();
  const std::optional<TLimitEvent> event =
      Watches[panel].Change(LimitsDialog->Texts(), Line.DecimalSeparator());
  ShowLimits(panel);
  if (event)
    ReportCrossing(TrimBlanks(TextOf(*Editors[panel])), *event);
}

void TK4410R_MonitorForm::ShowPanelMenu(TMonitorPanel& panel, const QPoint& at) {
  const auto found = std::find(Panels.begin(), Panels.end(), &panel);
  if (found == Panels.end())
    return;
  MenuPanel = static_cast<std::size_t>(found - Panels.begin());
  if (PanelMenu == nullptr) {
    PanelMenu = new QMenu(this);
    PanelMenu->setObjectName(QStringLiteral("PanelMenu"));
    LimitsAction = PanelMenu->addAction(QStringLiteral("Limits..."));
    PanelTrendAction = PanelMenu->addAction(QStringLiteral("Trend..."));
    PanelMenu->addSeparator();
    // Record Readings... and Stop Recording, as the window's own menu has them.
    PanelMenu->addActions(actions());
    connect(LimitsAction, &QAction::triggered, this,
            [this] { Guarded([&] { EditLimits(MenuPanel); }); });
    connect(PanelTrendAction, &QAction::triggered, this,
            [this] { Guarded([&] { OpenTrend({static_cast<int>(MenuPanel)}); }); });
  }
  PanelMenu->popup(panel.mapToGlobal(at));
}

void TK4410R_MonitorForm::OpenTrend(const std::vector<int>& panels) {
  Trends->Open(panels);
}

std::vector<std::string> TK4410R_MonitorForm::RecordedColumns() const {
  std::vector<std::string> columns;
  std::copy_if(Columns.begin(), Columns.end(), std::back_inserter(columns),
               [](const std::string& column) { return !column.empty(); });
  return columns;
}

void TK4410R_MonitorForm::LoadLayout(TDatabase& settings) {
  RestoreOnScreens(*this, settings.GetInteger(Setting::MonitorLeft),
                   settings.GetInteger(Setting::MonitorTop), frameGeometry().size());
  const int stored = settings.GetInteger(Setting::MonitorPanels);
  while (static_cast<int>(Panels.size()) < PanelsToCreate(stored))
    AddPanel();
  for (int i = 0; i < PanelsToLoad(stored); ++i) {
    SetTextOf(*Editors[i], settings.GetString(PanelCommandName(i)));
    TakeColumn(static_cast<std::size_t>(i));
    Panels[i]->SetColor(settings.GetInteger(PanelColorName(i)));
  }
  ShowEditCheckBox->setChecked(settings.GetBoolean(Setting::MonitorShowEditors));
}

void TK4410R_MonitorForm::SaveLayout(TDatabase& settings) {
  settings.SetInteger(Setting::MonitorLeft, pos().x());
  settings.SetInteger(Setting::MonitorTop, pos().y());
  settings.SetBoolean(Setting::MonitorShowEditors, ShowEditCheckBox->isChecked());
  const int count = PanelsToSave(static_cast<int>(Panels.size()));
  settings.SetInteger(Setting::MonitorPanels, count);
  for (int i = 0; i < count; ++i) {
    settings.SetString(PanelCommandName(i), TextOf(*Editors[i]));
    settings.SetInteger(PanelColorName(i), Panels[i]->Color());
  }
  StoreLimits();
}

void TK4410R_MonitorForm::AddButtonClick() {
  AddPanel();
}

void TK4410R_MonitorForm::RemoveButtonClick() {
  RemovePanel();
  RemoveButton->setEnabled(Panels.size() > 1);
}

void TK4410R_MonitorForm::TimerTimer() {
  PollPanels();
}

// Every panel that has a command, or every panel when none has.
void TK4410R_MonitorForm::TrendClick() {
  std::vector<int> panels;
  for (std::size_t i = 0; i < Editors.size(); ++i) {
    if (!TrimBlanks(TextOf(*Editors[i])).empty())
      panels.push_back(static_cast<int>(i));
  }
  if (panels.empty()) {
    for (std::size_t i = 0; i < Panels.size(); ++i)
      panels.push_back(static_cast<int>(i));
  }
  OpenTrend(panels);
}
