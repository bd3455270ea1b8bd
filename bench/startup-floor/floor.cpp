// The start-up floor: a bare Qt window holding the main window's kinds of
// controls (two combo boxes, three buttons, two check boxes, a label, a text
// view) and nothing else: no settings, no ports, no other windows. What
// marrowlink spends beyond this window is its own.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QWidget>

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  QWidget window;
  window.setWindowTitle(QStringLiteral("startup-floor"));
  window.resize(385, 317);

  QLabel label(QStringLiteral("Port"), &window);
  label.move(7, 20);
  QComboBox ports(&window);
  ports.setGeometry(60, 13, 245, 21);
  QPushButton open(QStringLiteral("Open"), &window);
  open.setCheckable(true);
  open.setGeometry(317, 13, 57, 21);
  QComboBox message(&window);
  message.setEditable(true);
  message.setGeometry(60, 50, 245, 21);
  QPushButton send(QStringLiteral("Send"), &window);
  send.setGeometry(317, 50, 60, 21);
  QCheckBox monitor(QStringLiteral("&Monitor"), &window);
  monitor.move(60, 78);
  QCheckBox cycle(QStringLiteral("&Cycle"), &window);
  cycle.move(60, 96);
  QPushButton file(QStringLiteral("Send File"), &window);
  file.setGeometry(317, 88, 60, 21);
  QPlainTextEdit output(&window);
  output.setReadOnly(true);
  output.setGeometry(0, 120, 385, 197);

  window.show();
  return QApplication::exec();
}
