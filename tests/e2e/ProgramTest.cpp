// The marrowlink program itself, as an operator's session ends: a SIGTERM
// closes it, and the settings file then holds what every window wrote in
// the program's own order of destruction.
#include "base/Format.h"
#include "tests/support/SimProcess.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <spawn.h>
#include <sstream>
#include <string_view>
#include <sys/wait.h>
#include <thread>
#include <vector>

extern char** environ;

namespace {

std::string ReadAll(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The values of the settings file by name, as written: "Port" -> "\"COM3\"".
std::map<std::string, std::string> SavedValues(const std::filesystem::path& file) {
  std::map<std::string, std::string> values;
  std::istringstream lines(ReadAll(file));
  // The program's own key only; its subkeys hold values of their own.
  bool ours = false;
  for (std::string line; std::getline(lines, line);) {
    if (!line.empty() && line.back() == '\r')
      line.pop_back();
    if (line.starts_with('['))
      ours = line == "[HKEY_CURRENT_USER\\Software\\Tavrin\\Private\\Marrowlink]";
    const std::size_t split = line.find("\"=");
    if (ours && line.starts_with('"') && split != std::string::npos)
      values[line.substr(1, split - 1)] = line.substr(split + 2);
  }
  return values;
}

// marrowlink as a child process on the offscreen platform, with the current
// XDG_CONFIG_HOME; killed and reaped should the test leave it running.
class ProgramProcess {
public:
  ProgramProcess() {
    std::vector<std::string> variables{"QT_QPA_PLATFORM=offscreen"};
    for (char** variable = environ; *variable != nullptr; ++variable)
      if (!std::string_view(*variable).starts_with("QT_QPA_PLATFORM="))
        variables.emplace_back(*variable);
    std::vector<char*> envp;
    for (std::string& variable : variables)
      envp.push_back(variable.data());
    envp.push_back(nullptr);
    std::string path = MARROWLINK_PATH;
    char* argv[] = {path.data(), nullptr};
    if (::posix_spawn(&Pid, argv[0], nullptr, nullptr, argv, envp.data()) != 0)
      throw std::runtime_error("cannot start marrowlink");
  }
  ~ProgramProcess() {
    if (Pid > 0) {
      ::kill(Pid, SIGKILL);
      ::waitpid(Pid, nullptr, 0);
    }
  }
  ProgramProcess(const ProgramProcess&) = delete;
  ProgramProcess& operator=(const ProgramProcess&) = delete;

  void Signal(int signal) const { ::kill(Pid, signal); }

  // The wait status once the program has ended, or nothing after timeoutMs.
  std::optional<int> WaitForExit(int timeoutMs) {
    for (int waited = 0; waited <= timeoutMs; waited += 20) {
      int status = 0;
      if (::waitpid(Pid, &status, WNOHANG) == Pid) {
        Pid = -1;
        return status;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return std::nullopt;
  }

private:
  pid_t Pid = -1;
};

// A number as the settings file writes it.
std::string Dword(unsigned value) {
  char text[20];
  std::snprintf(text, sizeof text, "dword:%08x", value);
  return text;
}

bool WaitForFile(const std::filesystem::path& path, const std::string& part, int timeoutMs) {
  for (int waited = 0; waited <= timeoutMs; waited += 50) {
    if (ReadAll(path).find(part) != std::string::npos)
      return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return false;
}

} // namespace

// Ten panels come back from twelve saved, and a position off every screen
// comes back on one: both are written only by the panel monitor itself, at
// its destruction, while the main window's settings store still exists.
TEST(Program, SigtermSavesThePanelMonitorsLayoutBeforeTheMainWindowsSettings) {
  ScopedConfigHome home;
  const std::filesystem::path wire = home.Path() / "wire.bin";
  SimProcess sim({"--steady", "--record", wire.string()});
  std::filesystem::create_directories(home.AppDir());
  {
    std::ofstream file(home.AppDir() / "user.reg", std::ios::binary);
    file << "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Tavrin\\Private\\Marrowlink]\r\n"
         << "\"Port\"=\"" << sim.PortName() << "\"\r\n"
         << "\"Open\"=dword:00000001\r\n\"Monitor\"=dword:00000001\r\n"
         << "\"Message\"=\"p.v\"\r\n\"Monitor Show Editors\"=dword:00000001\r\n"
         << "\"Monitor Left\"=dword:00004e20\r\n\"Monitor Top\"=dword:00004e20\r\n"
         << "\"Monitor Panels\"=dword:0000000c\r\n";
    for (int i = 0; i < 10; ++i)
      file << Format("\"Monitor Panel%d Command\"=\"c%d\"\r\n", i, i)
           << Format("\"Monitor Panel%d Color\"=", i) << Dword(0x00102030 + i) << "\r\n";
  }

  ProgramProcess program;
  // The last panel's poll: the port is open and every panel loaded.
  EXPECT_TRUE(WaitForFile(wire, "c9\r\n", 30000)) << ReadAll(wire);
  program.Signal(SIGTERM);
  const std::optional<int> status = program.WaitForExit(30000);
  ASSERT_TRUE(status.has_value()) << "marrowlink did not end on SIGTERM";
  EXPECT_TRUE(WIFEXITED(*status) && WEXITSTATUS(*status) == 0) << "wait status " << *status;

  std::map<std::string, std::string> saved = SavedValues(home.AppDir() / "user.reg");
  EXPECT_EQ(saved.size(), 34u);
  EXPECT_EQ(saved["Monitor Panels"], "dword:0000000a");
  for (int i = 0; i < 10; ++i) {
    EXPECT_EQ(saved[Format("Monitor Panel%d Command", i)], Format("\"c%d\"", i));
    EXPECT_EQ(saved[Format("Monitor Panel%d Color", i)], Dword(0x00102030 + i));
  }
  EXPECT_EQ(saved["Monitor Show Editors"], "dword:00000001");
  EXPECT_EQ(saved["Monitor Left"], "dword:00000000");
  EXPECT_EQ(saved["Monitor Top"], "dword:00000000");
  // The main window's own values.
  EXPECT_EQ(saved["Port"], "\"" + sim.PortName() + "\"");
  EXPECT_EQ(saved["Open"], "dword:00000001");
  EXPECT_EQ(saved["Monitor"], "dword:00000001");
  EXPECT_EQ(saved["Baudrate Index"], "dword:00000003");
}
