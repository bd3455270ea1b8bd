#include "ui/CommandDialog.h"

#include "ui/ApplicationErrors.h"
#include "ui/CommandButtons.h"
#include "ui/FormEdit.h"
#include "ui/QtText.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>

TCommandDialog::TCommandDialog(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("CommandDialog"));
  setWindowTitle(QStringLiteral("Command Button"));
  auto* form = new QFormLayout(this);
  CaptionEdit = AddFormEdit(*form, QStringLiteral("C&aption:"), QStringLiteral("CaptionEdit"));
  CommandEdit = AddFormEdit(*form, QStringLiteral("Co&mmand:"), QStringLiteral("CommandEdit"));
  CommandEdit->setToolTip(QStringLiteral("\\r, \\n, \\t, \\\\ and \\xHH stand for those bytes"));
  EveryEdit =
      AddFormEdit(*form, QStringLiteral("&Every (ms, 0 for once):"), QStringLiteral("EveryEdit"));
  EveryEdit->setText(QStringLiteral("0"));
  Buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  form->addRow(Buttons);
  connect(Buttons, &QDialogButtonBox::accepted, this, &TCommandDialog::accept);
  connect(Buttons, &QDialogButtonBox::rejected, this, &TCommandDialog::reject);
}

void TCommandDialog::SetButton(const TCommandButton& button) {
  CaptionEdit->setText(ToQt(button.Caption));
  CommandEdit->setText(ToQt(button.Command));
  EveryEdit->setText(QString::number(button.Every));
}

void TCommandDialog::accept() {
  bool valid = false;
  Guarded([&] {
    Made = CheckedButton(FromQt(CaptionEdit->text()), FromQt(CommandEdit->text()),
                         FromQt(EveryEdit->text()));
    valid = true;
  });
  if (valid)
    QDialog::accept();
}
