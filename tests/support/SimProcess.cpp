#include "tests/support/SimProcess.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <poll.h>
#include <spawn.h>
#include <stdexcept>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

#ifndef K4410R_SIM_PATH
#error "K4410R_SIM_PATH must name the simulator executable"
#endif

namespace {

// Reads the simulator's first line ("k4410r-sim: COM1 is /dev/pts/3").
std::string ReadFirstLine(int fd, int timeoutMs) {
  std::string line;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (line.find('\n') == std::string::npos) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    pollfd entry{fd, POLLIN, 0};
    if (left.count() <= 0 || ::poll(&entry, 1, static_cast<int>(left.count())) <= 0)
      throw std::runtime_error("k4410r-sim did not start: " + line);
    char c = 0;
    if (::read(fd, &c, 1) != 1)
      throw std::runtime_error("k4410r-sim ended: " + line);
    line += c;
  }
  return line;
}

} // namespace

SimProcess::SimProcess(const std::vector<std::string>& options) {
  int pipeFds[2];
  if (::pipe(pipeFds) != 0)
    throw std::runtime_error("pipe failed");
  std::vector<std::string> args{K4410R_SIM_PATH};
  args.insert(args.end(), options.begin(), options.end());
  std::vector<char*> argv;
  for (std::string& arg : args)
    argv.push_back(arg.data());
  argv.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
  posix_spawn_file_actions_addclose(&actions, pipeFds[0]);
  const int result = ::posix_spawn(&Pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  ::close(pipeFds[1]);
  Output = pipeFds[0];
  if (result != 0)
    throw std::runtime_error("cannot start k4410r-sim");

  const std::string line = ReadFirstLine(Output, 5000);
  const std::size_t com = line.find("COM");
  const std::size_t is = line.find(" is ");
  if (com == std::string::npos || is == std::string::npos)
    throw std::runtime_error("unexpected k4410r-sim output: " + line);
  Port = line.substr(com, is - com);
  Pty = line.substr(is + 4, line.find('\n') - is - 4);
}

SimProcess::~SimProcess() {
  Stop();
  if (Output >= 0)
    ::close(Output);
}

bool SimProcess::WaitForExit(int timeoutMs) {
  for (int waited = 0; Pid > 0; waited += 10) {
    int status = 0;
    if (::waitpid(Pid, &status, WNOHANG) == Pid) {
      Pid = -1;
      return true;
    }
    if (waited >= timeoutMs)
      return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return true;
}

void SimProcess::Stop() {
  if (Pid <= 0)
    return;
  ::kill(Pid, SIGTERM);
  if (!WaitForExit(3000)) {
    ::kill(Pid, SIGKILL);
    WaitForExit(3000);
  }
}
