#pragma once

#include "watch/LimitTexts.h"

#include "ui/CheckedDialog.h"

class QCheckBox;
class QLineEdit;

// A panel's limits as the operator types them, and the one Beep choice of
// all panels. OK refuses texts that give no band.
class TLimitsDialog : public TCheckedDialog {
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

private:
  void Check() override;

  char DecimalSeparator;
};
