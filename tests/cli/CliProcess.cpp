#include "tests/cli/CliProcess.h"

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <fstream>
#include <netinet/in.h>
#include <spawn.h>
#include <sstream>
#include <stdexcept>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

ChildProcess::ChildProcess(const std::string& name, const std::vector<std::string>& args,
                           const std::filesystem::path& outputs,
                           const std::map<std::string, std::string>& env) {
  OutPath = outputs / (name + ".out");
  ErrPath = outputs / (name + ".err");

  std::vector<std::string> envText;
  for (char** entry = environ; *entry != nullptr; ++entry) {
    const std::string text = *entry;
    if (!env.contains(text.substr(0, text.find('='))))
      envText.push_back(text);
  }
  for (const auto& [name, value] : env)
    envText.push_back(name + "=" + value);
  std::vector<char*> envp;
  for (std::string& text : envText)
    envp.push_back(text.data());
  envp.push_back(nullptr);
  std::vector<std::string> argText = args;
  std::vector<char*> argv;
  for (std::string& arg : argText)
    argv.push_back(arg.data());
  argv.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, OutPath.c_str(),
                                   O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, ErrPath.c_str(),
                                   O_WRONLY | O_CREAT | O_TRUNC, 0644);
  const int result = ::posix_spawnp(&Pid, argv[0], &actions, nullptr, argv.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  if (result != 0)
    throw std::runtime_error("cannot start " + args[0]);
}

ChildProcess::~ChildProcess() {
  if (Pid > 0) {
    ::kill(Pid, SIGKILL);
    ::waitpid(Pid, nullptr, 0);
  }
}

void ChildProcess::Signal(int signal) const {
  if (Pid > 0)
    ::kill(Pid, signal);
}

int ChildProcess::Wait(int timeoutMs, rusage* usage) {
  int status = 0;
  const bool ended =
      WaitFor([&] { return ::wait4(Pid, &status, WNOHANG, usage) == Pid; }, timeoutMs);
  if (!ended)
    return -1;
  Pid = -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string ChildProcess::Out() const {
  return FileText(OutPath);
}

std::string ChildProcess::Err() const {
  return FileText(ErrPath);
}

std::string FileText(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

bool WaitFor(const std::function<bool()>& test, int timeoutMs) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (!test()) {
    if (std::chrono::steady_clock::now() > deadline)
      return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return true;
}

int FreeTcpPort() {
  const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t size = sizeof address;
  if (::bind(fd, reinterpret_cast<sockaddr*>(&address), size) != 0 ||
      ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size) != 0)
    throw std::runtime_error("no free port");
  ::close(fd);
  return ntohs(address.sin_port);
}

bool Listening(int port) {
  const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<std::uint16_t>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  const bool connected = ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
  ::close(fd);
  return connected;
}
