#include "ui/LimitsDialog.h"

#include "ui/FormEdit.h"
#include "ui/QtText.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QLineEdit>

namespace {

QLineEdit* AddEdit(QFormLayout& form, const QString& label, const QString& name) {
  QLineEdit* edit = AddFormEdit(form, label, name);
  edit->setPlaceholderText(QStringLiteral("none"));
  return edit;
}

} // namespace

TLimitsDialog::TLimitsDialog(QWidget* parent, char decimalSeparator)
    : TCheckedDialog(parent, QStringLiteral("LimitsDialog"), QStringLiteral("Limits")),
      DecimalSeparator(decimalSeparator) {
  LowEdit = AddEdit(*Form, QStringLiteral("&Low:"), QStringLiteral("LowEdit"));
  HighEdit = AddEdit(*Form, QStringLiteral("&High:"), QStringLiteral("HighEdit"));
  HysteresisEdit = AddEdit(*Form, QStringLiteral("H&ysteresis:"), QStringLiteral("HysteresisEdit"));
  HysteresisEdit->setPlaceholderText(QStringLiteral("0"));
  BeepCheckBox = new QCheckBox(QStringLiteral("&Beep when a value leaves its band"), this);
  BeepCheckBox->setObjectName(QStringLiteral("BeepCheckBox"));
  Form->addRow(BeepCheckBox);
  AddButtons();
}

TLimitTexts TLimitsDialog::Texts() const {
  return {FromQt(LowEdit->text()), FromQt(HighEdit->text()), FromQt(HysteresisEdit->text())};
}

void TLimitsDialog::SetTexts(const TLimitTexts& texts) {
  LowEdit->setText(ToQt(texts.Low));
  HighEdit->setText(ToQt(texts.High));
  HysteresisEdit->setText(ToQt(texts.Hysteresis));
}

bool TLimitsDialog::Beep() const {
  return BeepCheckBox->isChecked();
}

void TLimitsDialog::SetBeep(bool on) {
  BeepCheckBox->setChecked(on);
}

void TLimitsDialog::Check() {
  ParseLimits(Texts(), DecimalSeparator);
}
