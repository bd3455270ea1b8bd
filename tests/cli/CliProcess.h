#pragma once

#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <sys/resource.h>
#include <sys/types.h>
#include <vector>

// marrowlink-cli, or any program, as a child process whose standard output
// and error go to <outputs>/<name>.out and .err; environment entries given
// replace the inherited ones. Killed at destruction if still running.
class ChildProcess {
public:
  ChildProcess(const std::string& name, const std::vector<std::string>& args,
               const std::filesystem::path& outputs,
               const std::map<std::string, std::string>& env = {});
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  void Signal(int signal) const;
  // The exit status, or -1 when it did not end within timeoutMs (or died
  // of a signal); usage, when given, receives the resources it used.
  int Wait(int timeoutMs = 60000, rusage* usage = nullptr);
  pid_t Id() const { return Pid; }
  std::string Out() const;
  std::string Err() const;

private:
  pid_t Pid = -1;
  std::filesystem::path OutPath;
  std::filesystem::path ErrPath;
};

// The whole of a file, or empty.
std::string FileText(const std::filesystem::path& path);
// Waits up to timeoutMs for test to hold; whether it did.
bool WaitFor(const std::function<bool()>& test, int timeoutMs);
// A TCP port on 127.0.0.1 that nothing listened on a moment ago.
int FreeTcpPort();
// Whether a server takes connections at that port of 127.0.0.1.
bool Listening(int port);
