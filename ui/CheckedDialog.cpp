#include "ui/CheckedDialog.h"

#include "ui/ApplicationErrors.h"

#include <QDialogButtonBox>
#include <QFormLayout>

TCheckedDialog::TCheckedDialog(QWidget* parent, const QString& objectName, const QString& title)
    : QDialog(parent), Form(new QFormLayout(this)) {
  setObjectName(objectName);
  setWindowTitle(title);
}

void TCheckedDialog::AddButtons() {
  Buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  Form->addRow(Buttons);
  connect(Buttons, &QDialogButtonBox::accepted, this, &TCheckedDialog::accept);
  connect(Buttons, &QDialogButtonBox::rejected, this, &TCheckedDialog::reject);
}

void TCheckedDialog::accept() {
  bool valid = false;
  Guarded([&] {
    Check();
    valid = true;
  });
  if (valid)
    QDialog::accept();
}
