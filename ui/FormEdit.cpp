#include "ui/FormEdit.h"

#include <QFormLayout>
#include <QLineEdit>

QLineEdit* AddFormEdit(QFormLayout& form, const QString& label, const QString& name) {
  auto* edit = new QLineEdit(form.parentWidget());
  edit->setObjectName(name);
  form.addRow(label, edit);
  return edit;
}
