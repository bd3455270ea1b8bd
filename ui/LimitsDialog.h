#pragma once

#include "watch/LimitTexts.h"

#include <QDialog>

class QCheckBox;
class QDialogButtonBox;
class QLineEdit;

// A panel's limits as the operator types them, and the one Beep choice of
// all panels. OK refuses texts that give no band, showing why in the error
// box, and stays open with the texts as typed.
class TLimitsDialog : public QDialog {
  Q_OBJECT

public:
  // Limits are read with decimalSeparator, as the panel's readings are.
  TLimitsDialog(QWidget* parent, char decimalSeparator);

  TLimitTexts Texts() const;
  void SetTexts(const TLimitTexts& texts);
  bool Beep() const;
  void SetBeep(bool on);

  QLineEdit* LowEdit = nullptr;
  QLineEdit* HighEdit = nullptr;
  QLineEdit* HysteresisEdit = nullptr;
  QCheckBox* BeepCheckBox = nullptr;
  QDialogButtonBox* Buttons = nullptr;

public slots:
  void accept() override;

private:
  char DecimalSeparator;
};
