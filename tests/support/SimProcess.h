#pragma once

#include <string>
#include <sys/types.h>
#include <vector>

// k4410r-sim as a child process, registered in the current XDG_CONFIG_HOME;
// stopped (SIGTERM) and reaped at destruction.
class SimProcess {
public:
  explicit SimProcess(const std::vector<std::string>& options = {"--steady"});
  ~SimProcess();
  SimProcess(const SimProcess&) = delete;
  SimProcess& operator=(const SimProcess&) = delete;

  const std::string& PortName() const { return Port; } // "COM1"
  const std::string& PtyPath() const { return Pty; }   // "/dev/pts/3"
  std::string DevicePath() const { return "\\\\.\\" + Port; }

  // Waits up to timeoutMs for the process to end by itself.
  bool WaitForExit(int timeoutMs);
  void Stop();

private:
  pid_t Pid = -1;
  int Output = -1;
  std::string Port;
  std::string Pty;
};
