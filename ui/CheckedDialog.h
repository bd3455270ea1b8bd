#pragma once

#include <QDialog>

class QDialogButtonBox;
class QFormLayout;

// A dialog of form rows whose OK runs Check: what it raises shows in the
// error box and the dialog stays open with the texts as typed; it closes
// only when the fields pass.
class TCheckedDialog : public QDialog {
  Q_OBJECT

public:
  QDialogButtonBox* Buttons = nullptr;

public slots:
  void accept() override;

protected:
  TCheckedDialog(QWidget* parent, const QString& objectName, const QString& title);

  // The row of OK and Cancel, under the rows added so far.
  void AddButtons();
  // Raises, with the message the operator sees, for fields that do not pass.
  virtual void Check() = 0;

  QFormLayout* Form = nullptr;
};
