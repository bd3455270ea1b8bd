#include "ui/CommandsWindow.h"

#include "settings/CommandsDatabase.h"
#include "settings/SettingNames.h"
#include "ui/ApplicationErrors.h"
#include "ui/CommandDialog.h"
#include "ui/QtText.h"
#include "ui/WindowPlacement.h"

#include <QGridLayout>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QShortcut>
#include <QShowEvent>
#include <QTimer>
#include <QVBoxLayout>

#include <utility>

namespace {

constexpr int Columns = 4;
constexpr int ShortcutKeys = 9;

QString ButtonText(const TCommandButton& button, bool running) {
  const QString label = ToQt(ButtonLabel(button));
  // Plain to see from across the room: a running button is held down, in
  // bold, behind a play mark.
  return running ? QStringLiteral("\u25B6 ") + label : label;
}

QString Tip(const TCommandButton& button) {
  if (button.Every == 0)
    return ToQt(button.Command);
  return QStringLiteral("%1 every %2 ms").arg(ToQt(button.Command)).arg(button.Every);
}

} // namespace

struct TCommandsWindow::TRun {
  QTimer Timer;
  TLineTurns::TSource Source = 0;
  std::string Command; // as typed
};

TCommandsWindow::TCommandsWindow(TLineTurns& turns,
                                 std::function<void(const std::string& bytes)> send)
    : QWidget(nullptr, Qt::Window), Turns(turns), Send(std::move(send)) {
  setObjectName(QStringLiteral("CommandsWindow"));
  setWindowTitle(QStringLiteral("Commands"));
  // Closing the main window ends the program even while this one is shown.
  setAttribute(Qt::WA_QuitOnClose, false);
  auto* column = new QVBoxLayout(this);
  AddButton = new QPushButton(QStringLiteral("&Add..."), this);
  AddButton->setObjectName(QStringLiteral("AddCommandButton"));
  AddButton->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
  column->addWidget(AddButton);
  Grid = new QGridLayout;
  column->addLayout(Grid);
  column->addStretch();
  connect(AddButton, &QPushButton::clicked, this, [this] { Guarded([&] { AddClick(); }); });
  AddShortcuts(*this);
  resize(360, 120);
}

TCommandsWindow::~TCommandsWindow() {
  for (const auto& run : Runs)
    Turns.Remove(run->Source);
}

std::unique_ptr<TCommandsWindow::TRun> TCommandsWindow::MakeRun(const TCommandButton& button) {
  auto run = std::make_unique<TRun>();
  run->Command = button.Command;
  run->Timer.setInterval(button.Every);
  TRun* raw = run.get();
  run->Source = Turns.Add([this, raw] { SendCommand(raw->Command); });
  connect(&run->Timer, &QTimer::timeout, this,
          [this, raw] { Guarded([&] { Turns.Due(raw->Source); }); });
  return run;
}

void TCommandsWindow::Load(const TCommandsDatabase& store) {
  for (const auto& run : Runs)
    Turns.Remove(run->Source);
  Runs.clear();
  List = TCommandButtons(store.Buttons());
  for (const TCommandButton& button : List.Stored())
    Runs.push_back(MakeRun(button));
  RestoreOnScreens(*this, store.GetInteger(Setting::Left), store.GetInteger(Setting::Top), size());
  Rebuild();
}

void TCommandsWindow::Save(TCommandsDatabase& store) const {
  store.SetButtons(List.Stored());
  store.SetBoolean(Setting::Visible, isVisible());
  store.SetInteger(Setting::Left, x());
  store.SetInteger(Setting::Top, y());
}

void TCommandsWindow::Rebuild() {
  for (QPushButton* button : CommandButtons) {
    Grid->removeWidget(button);
    // Not at once: the button may be the one whose menu asked for this.
    button->hide();
    button->deleteLater();
  }
  CommandButtons.clear();
  const std::vector<std::size_t> shown = List.Shown();
  for (std::size_t i = 0; i < shown.size(); ++i) {
    const std::size_t place = shown[i];
    const TCommandButton& stored = List[place];
    auto* button = new QPushButton(ButtonText(stored, Running(place)), this);
    button->setObjectName(QStringLiteral("CommandButton%1").arg(i + 1));
    button->setToolTip(Tip(stored));
    button->setCheckable(stored.Every > 0);
    button->setChecked(Running(place));
    QFont font = button->font();
    font.setBold(Running(place));
    button->setFont(font);
    button->setEnabled(LineOpen);
    button->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(button, &QPushButton::clicked, this, [this, place] { Guarded([&] { Press(place); }); });
    connect(button, &QWidget::customContextMenuRequested, this,
            [this, place, button](const QPoint& at) {
              Guarded([&] { ShowButtonMenu(place, button->mapToGlobal(at)); });
            });
    Grid->addWidget(button, static_cast<int>(i) / Columns, static_cast<int>(i) % Columns);
    CommandButtons.push_back(button);
  }
  AddButton->setEnabled(!List.Full());
}

bool TCommandsWindow::Running(std::size_t place) const {
  return place < Runs.size() && Runs[place]->Timer.isActive();
}

const TLineTurns::TCounts& TCommandsWindow::TurnCounts(std::size_t place) const {
  return Turns.Counts(Runs.at(place)->Source);
}

void TCommandsWindow::Press(std::size_t place) {
  if (place >= List.Stored().size())
    return;
  if (List[place].Every == 0) {
    SendCommand(List[place].Command);
    return;
  }
  if (Running(place))
    Stop(place);
  else
    Start(place);
}

void TCommandsWindow::Start(std::size_t place) {
  TRun& run = *Runs[place];
  run.Timer.start();
  Rebuild();
  // At once, then every interval: a turn on the line like any other.
  Turns.Due(run.Source);
}

void TCommandsWindow::Stop(std::size_t place) {
  Halt(*Runs[place]);
  Rebuild();
}

void TCommandsWindow::Halt(TRun& run) {
  run.Timer.stop();
  Turns.Withdraw(run.Source);
}

void TCommandsWindow::SendCommand(const std::string& typed) {
  Send(ButtonBytes(typed));
}

void TCommandsWindow::SetLineOpen(bool open) {
  LineOpen = open;
  if (!open)
    for (const auto& run : Runs)
      Halt(*run);
  Rebuild();
}

void TCommandsWindow::SetPaused(bool paused) {
  for (const auto& run : Runs)
    Turns.SetPaused(run->Source, paused);
}

void TCommandsWindow::AddShortcuts(QWidget& window) {
  for (int n = 1; n <= ShortcutKeys; ++n) {
    auto* shortcut =
        new QShortcut(QKeySequence(Qt::CTRL | static_cast<Qt::Key>(Qt::Key_0 + n)), &window);
    shortcut->setObjectName(QStringLiteral("CommandShortcut%1").arg(n));
    connect(shortcut, &QShortcut::activated, this,
            [this, n] { Guarded([&] { PressNumbered(static_cast<std::size_t>(n)); }); });
  }
}

void TCommandsWindow::PressNumbered(std::size_t n) {
  const std::optional<std::size_t> place = List.NumberedPlace(n);
  if (!place || !LineOpen)
    return;
  Press(*place);
}

void TCommandsWindow::ShowButtonMenu(std::size_t place, const QPoint& at) {
  auto* menu = new QMenu(this);
  menu->setObjectName(QStringLiteral("CommandMenu"));
  menu->setAttribute(Qt::WA_DeleteOnClose);
  const auto add = [&](const QString& text, const std::function<void()>& action) {
    connect(menu->addAction(text), &QAction::triggered, this, [this, place, action] {
      // The list may have changed while the menu was open.
      if (place < List.Stored().size())
        Guarded(action);
    });
  };
  add(QStringLiteral("&Edit..."), [this, place] { EditClick(place); });
  add(QStringLiteral("&Remove"), [this, place] { RemoveClick(place); });
  add(QStringLiteral("Move &Left"), [this, place] { Move(place, true); });
  add(QStringLiteral("Move &Right"), [this, place] { Move(place, false); });
  menu->popup(at);
}

bool TCommandsWindow::EditInDialog(TCommandButton& button, const QString& title) {
  if (CommandDialog == nullptr)
    CommandDialog = new TCommandDialog(this);
  CommandDialog->setWindowTitle(title);
  CommandDialog->SetButton(button);
  const QPointer<TCommandsWindow> alive(this);
  const bool accepted = CommandDialog->exec() == QDialog::Accepted;
  // A shutdown cancels the dialog and may end this window with it.
  if (!alive || !accepted)
    return false;
  button = CommandDialog->Button();
  return true;
}

void TCommandsWindow::AddClick() {
  List.CheckRoom();
  TCommandButton button;
  if (!EditInDialog(button, QStringLiteral("Add Button")))
    return;
  List.Add(button);
  Runs.push_back(MakeRun(button));
  Rebuild();
}

void TCommandsWindow::EditClick(std::size_t place) {
  TCommandButton button = List[place];
  if (!EditInDialog(button, QStringLiteral("Edit Button")) || place >= List.Stored().size())
    return;
  // A new command or pace starts anew.
  Halt(*Runs[place]);
  List.Replace(place, button);
  Runs[place]->Command = button.Command;
  Runs[place]->Timer.setInterval(button.Every);
  Rebuild();
}

void TCommandsWindow::RemoveClick(std::size_t place) {
  Turns.Remove(Runs[place]->Source);
  Runs.erase(Runs.begin() + static_cast<std::ptrdiff_t>(place));
  List.Remove(place);
  Rebuild();
}

void TCommandsWindow::Move(std::size_t place, bool left) {
  const std::optional<std::size_t> other = left ? List.MoveLeft(place) : List.MoveRight(place);
  if (!other)
    return;
  std::swap(Runs[place], Runs[*other]);
  Rebuild();
}

void TCommandsWindow::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (!event->spontaneous())
    emit VisibilityChanged();
}

void TCommandsWindow::hideEvent(QHideEvent* event) {
  QWidget::hideEvent(event);
  if (!event->spontaneous())
    emit VisibilityChanged();
}
