#pragma once

#include "settings/CommandsDatabase.h"

#include <QDialog>

class QDialogButtonBox;
class QLineEdit;

// Adds or edits a command button: Caption, Command and Every (ms, 0 for
// once). OK refuses fields that make no button, showing why in the error
// box, and stays open with the texts as typed.
class TCommandDialog : public QDialog {
  Q_OBJECT

public:
  explicit TCommandDialog(QWidget* parent);

  void SetButton(const TCommandButton& button);
  // The button the fields make; valid once the dialog was accepted.
  const TCommandButton& Button() const { return Made; }

  QLineEdit* CaptionEdit = nullptr;
  QLineEdit* CommandEdit = nullptr;
  QLineEdit* EveryEdit = nullptr;
  QDialogButtonBox* Buttons = nullptr;

public slots:
  void accept() override;

private:
  TCommandButton Made;
};
