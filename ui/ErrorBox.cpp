#include "ui/ErrorBox.h"

#include "ui/ApplicationErrors.h"
#include "ui/QtText.h"

#include <QApplication>
#include <QMessageBox>

void TErrorBox::operator()(const std::string& message) {
  const std::string text = ErrorBoxText(message);
  if (Heard)
    Heard(text);
  if (*Open)
    return;
  *Open = true;
  const std::shared_ptr<bool> open = Open;
  QMessageBox box(QMessageBox::Critical, QString::fromLatin1(Caption), ToQt(text), QMessageBox::Ok,
                  QApplication::activeWindow());
  box.exec();
  *open = false;
}
