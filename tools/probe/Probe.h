#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>

#include <map>
#include <random>

class QWidget;

// A scripted operator inside the running program, for the chaos and memory
// scripts: it clicks the program's own controls, answers its error boxes
// (counting them) and writes what it saw to files in its folder. It reads
// its orders from <folder>/probe.conf (key=value lines):
//   mission=chaos    poll with both monitors, reopen the port now and then
//                    like an operator, until <folder>/finish appears; then
//                    reopen, send "s.p" and close the program
//   mission=session  open the port, send, show and change the monitors, play
//                    <folder>/playback.txt, repeat, close the port and the
//                    program
//   warmup=N         seconds before the first memory and descriptor sample
//   port=COMn        the port to choose when none is selected
// It writes <folder>/probe.out (key=value lines) and appends every error
// box's text to <folder>/errors.txt.
class TProbe : public QObject {
public:
  explicit TProbe(QString folder);

private:
  void Tick();
  void AnswerErrorBox();
  void ChooseFile();
  bool FindWindows();
  void Chaos();
  void Session();
  void FinalSend();
  void CloseProgram();

  bool PortOpen() const;
  void ClickOpen();
  void ShowValueMonitor();
  void Send(const QString& command);
  QString LastLogLine() const;
  void Write(const QString& key, const QString& value);
  static long ResidentKb();
  static long OpenDescriptors();

  QString Folder;
  std::map<QString, QString> Conf;
  // Boxes are answered on a timer of their own: a box opened by a step of
  // the mission runs its own event loop, in which the mission's timer does
  // not fire again.
  QTimer Watch;
  QTimer Mission;
  QElapsedTimer Clock;
  std::mt19937 Random{20261208};

  QWidget* Main = nullptr;
  QWidget* PanelMonitor = nullptr;
  QWidget* ValueMonitor = nullptr;

  std::map<QString, QString> Out;
  bool Busy = false;
  int ErrorsShown = 0;
  int Reopens = 0;
  bool Sampled = false;
  bool Finishing = false;
  qint64 NextReopenMs = 0;
  qint64 NextOpenTryMs = 0;
  int Step = 0;
  qint64 StepDueMs = 0;
};
