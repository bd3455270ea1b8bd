#pragma once

#include "ui/CommandButtons.h"
#include "ui/LineTurns.h"

#include <QWidget>

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class QGridLayout;
class QPushButton;
class TCommandDialog;
class TCommandsDatabase;

// The Commands window: named buttons that send their command once, or
// every so many ms until pressed again, through the main window's road of
// exchanges. The running ones take their turns on the line with the main
// window's other sources.
class TCommandsWindow : public QWidget {
  Q_OBJECT

public:
  // send: one exchange of a command's bytes, numbered, logged and recorded
  // as Send's are; raises as it does.
  TCommandsWindow(TLineTurns& turns, std::function<void(const std::string& bytes)> send);
  ~TCommandsWindow() override;

  // The buttons and the window's place; "Visible" is the main window's to
  // apply at its first activation.
  void Load(const TCommandsDatabase& store);
  void Save(TCommandsDatabase& store) const;

  // Buttons send only while the line is open; closing it stops every
  // running button.
  void SetLineOpen(bool open);
  // While a file plays the running buttons send nothing; they go on
  // afterwards.
  void SetPaused(bool paused);
  // Ctrl+1 ... Ctrl+9 in window press the first nine buttons shown.
  void AddShortcuts(QWidget& window);
  // The n-th button shown, from 1, as a click on it; nothing past the last.
  void PressNumbered(std::size_t n);

  const TCommandButtons& Buttons() const { return List; }
  bool Running(std::size_t place) const;
  // The line's turns each button has asked for and had, for the place.
  const TLineTurns::TCounts& TurnCounts(std::size_t place) const;

  QPushButton* AddButton = nullptr;
  // The buttons shown, in order ("CommandButton1", ...).
  std::vector<QPushButton*> CommandButtons;
  TCommandDialog* CommandDialog = nullptr; // made at the first Add or Edit

signals:
  // Shown or hidden by the program or the operator.
  void VisibilityChanged();

protected:
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;

private:
  // What a button does on the line: its repeat and its turns.
  struct TRun;

  std::unique_ptr<TRun> MakeRun(const TCommandButton& button);
  void Rebuild();
  void Press(std::size_t place);
  void Start(std::size_t place);
  void Stop(std::size_t place);
  // Its repeat ends and its waiting turn goes.
  void Halt(TRun& run);
  void SendCommand(const std::string& typed);
  void ShowButtonMenu(std::size_t place, const QPoint& at);
  // The dialog over button, if the operator accepts it.
  bool EditInDialog(TCommandButton& button, const QString& title);
  void AddClick();
  void EditClick(std::size_t place);
  void RemoveClick(std::size_t place);
  void Move(std::size_t place, bool left);

  TLineTurns& Turns;
  std::function<void(const std::string&)> Send;
  TCommandButtons List;
  std::vector<std::unique_ptr<TRun>> Runs; // beside List's buttons, place by place
  QGridLayout* Grid = nullptr;
  bool LineOpen = false;
};
