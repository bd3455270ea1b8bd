#pragma once

#include "settings/CommandsDatabase.h"

#include "ui/CheckedDialog.h"

class QLineEdit;

// Adds or edits a command button: Caption, Command and Every (ms, 0 for
// once). OK refuses fields that make no button.
class TCommandDialog : public TCheckedDialog {
  Q_OBJECT

public:
  explicit TCommandDialog(QWidget* parent);

  void SetButton(const TCommandButton& button);
  // The button the fields make; raises for fields that make none.
  TCommandButton Button() const;

  QLineEdit* CaptionEdit = nullptr;
  QLineEdit* CommandEdit = nullptr;
  QLineEdit* EveryEdit = nullptr;

private:
  void Check() override { Button(); }
};
