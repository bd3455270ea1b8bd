#include "ui/CommandDialog.h"

#include "ui/CommandButtons.h"
#include "ui/FormEdit.h"
#include "ui/QtText.h"

#include <QFormLayout>
#include <QLineEdit>

TCommandDialog::TCommandDialog(QWidget* parent)
    : TCheckedDialog(parent, QStringLiteral("CommandDialog"), QStringLiteral("Command Button")) {
  CaptionEdit = AddFormEdit(*Form, QStringLiteral("C&aption:"), QStringLiteral("CaptionEdit"));
  CommandEdit = AddFormEdit(*Form, QStringLiteral("Co&mmand:"), QStringLiteral("CommandEdit"));
  CommandEdit->setToolTip(QStringLiteral("\\r, \\n, \\t, \\\\ and \\xHH stand for those bytes"));
  EveryEdit =
      AddFormEdit(*Form, QStringLiteral("&Every (ms, 0 for once):"), QStringLiteral("EveryEdit"));
  EveryEdit->setText(QStringLiteral("0"));
  AddButtons();
}

void TCommandDialog::SetButton(const TCommandButton& button) {
  CaptionEdit->setText(ToQt(button.Caption));
  CommandEdit->setText(ToQt(button.Command));
  EveryEdit->setText(QString::number(button.Every));
}

TCommandButton TCommandDialog::Button() const {
  return CheckedButton(FromQt(CaptionEdit->text()), FromQt(CommandEdit->text()),
                       FromQt(EveryEdit->text()));
}
