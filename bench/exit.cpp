// Times the program's end as a session manager or Ctrl-C meets it: from
// SIGTERM to the end of the process, which saves the 34 settings on the
// way. The settings folder lies on the disk of the folder given (the
// temporary folder is often in memory, where a sync costs nothing).
//
//   exit [program] [runs] [folder]    prints each run and the median, in ms
#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <vector>

extern char** environ;

namespace fs = std::filesystem;

namespace {

// Long enough for the window to show and its first activation to run.
constexpr auto SettleTime = std::chrono::milliseconds(2500);

pid_t Start(const std::string& program, const fs::path& configHome) {
  std::size_t count = 0;
  while (environ[count] != nullptr)
    ++count;
  std::vector<std::string> variables(environ, environ + count);
  std::erase_if(variables, [](const std::string& text) {
    return text.starts_with("QT_QPA_PLATFORM=") || text.starts_with("XDG_CONFIG_HOME=");
  });
  variables.emplace_back("QT_QPA_PLATFORM=offscreen");
  variables.emplace_back("XDG_CONFIG_HOME=" + configHome.string());
  std::vector<char*> envp;
  envp.reserve(variables.size() + 1);
  for (std::string& variable : variables)
    envp.push_back(variable.data());
  envp.push_back(nullptr);
  std::string path = program;
  char* argv[] = {path.data(), nullptr};
  pid_t pid = -1;
  if (::posix_spawn(&pid, argv[0], nullptr, nullptr, argv, envp.data()) != 0)
    return -1;
  return pid;
}

// A saved session: a message, and a monitor of three panels.
void WriteSettings(const fs::path& appDir) {
  fs::create_directories(appDir);
  std::ofstream file(appDir / "user.reg", std::ios::binary);
  file << "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Tavrin\\Private\\Marrowlink]\r\n"
       << "\"Message\"=\"p.v\"\r\n\"Monitor Panels\"=dword:00000003\r\n";
}

std::size_t SavedValues(const fs::path& file) {
  std::ifstream in(file);
  std::size_t count = 0;
  for (std::string line; std::getline(in, line);)
    count += line.starts_with('"') ? 1 : 0;
  return count;
}

} // namespace

int main(int argc, char** argv) {
  const std::string program = argc > 1 ? argv[1] : MARROWLINK_PATH;
  const int runs = argc > 2 ? std::atoi(argv[2]) : 10;
  const fs::path folder = fs::absolute(argc > 3 ? argv[3] : "bench-exit.tmp");
  std::vector<double> times;
  for (int run = 0; run < runs; ++run) {
    fs::remove_all(folder);
    WriteSettings(folder / "marrowlink");
    const pid_t pid = Start(program, folder);
    if (pid < 0) {
      std::fprintf(stderr, "cannot start %s\n", program.c_str());
      return 1;
    }
    std::this_thread::sleep_for(SettleTime);
    const auto signalled = std::chrono::steady_clock::now();
    ::kill(pid, SIGTERM);
    int status = 0;
    ::waitpid(pid, &status, 0);
    const std::chrono::duration<double, std::milli> took =
        std::chrono::steady_clock::now() - signalled;
    const std::size_t saved = SavedValues(folder / "marrowlink" / "user.reg");
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 || saved < 34) {
      std::fprintf(stderr, "run %d: wait status %d, %zu values saved\n", run, status, saved);
      return 1;
    }
    times.push_back(took.count());
    std::printf("sigterm_to_exit_ms=%.1f\n", took.count());
  }
  fs::remove_all(folder);
  std::sort(times.begin(), times.end());
  if (!times.empty())
    std::printf("median_ms=%.1f min_ms=%.1f max_ms=%.1f runs=%zu\n", times[times.size() / 2],
                times.front(), times.back(), times.size());
  return 0;
}
