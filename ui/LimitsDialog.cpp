#include "ui/LimitsDialog.h"

#include "ui/ApplicationErrors.h"
#include "ui/FormEdit.h"
#include "ui/QtText.h"

#include <QCheckBox>
#include <QDialogButtonBox>
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
    : QDialog(parent), DecimalSeparator(decimalSeparator) {
  setObjectName(QStringLiteral("LimitsDialog"));
  setWindowTitle(QStringLiteral("Limits"));
  auto* form = new QFormLayout(this);
  LowEdit = AddEdit(*form, QStringLiteral("&Low:"), QStringLiteral("LowEdit"));
  HighEdit = AddEdit(*form, QStringLiteral("&High:"), QStringLiteral("HighEdit"));
  HysteresisEdit = AddEdit(*form, QStringLiteral("H&ysteresis:"), QStringLiteral("HysteresisEdit"));
  HysteresisEdit->setPlaceholderText(QStringLiteral("0"));
  BeepCheckBox = new QCheckBox(QStringLiteral("&Beep when a value leaves its band"), this);
  BeepCheckBox->setObjectName(QStringLiteral("BeepCheckBox"));
  form->addRow(BeepCheckBox);
  Buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  form->addRow(Buttons);
  connect(Buttons, &QDialogButtonBox::accepted, this, &TLimitsDialog::accept);
  connect(Buttons, &QDialogButtonBox::rejected, this, &TLimitsDialog::reject);
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

void TLimitsDialog::accept() {
  bool valid = false;
  Guarded([&] {
    ParseLimits(Texts(), DecimalSeparator);
    valid = true;
  });
  if (valid)
    QDialog::accept();
}
