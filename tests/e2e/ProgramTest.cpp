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

const std::string MainKey = "\\Software\\Tavrin\\Private\\Marrowlink";

std::string ReadAll(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The values of one key of the settings file by name, as written:
// "Port" -> "\"COM3\"".
std::map<std::string, std::string> SavedValues(const std::filesystem::path& file,
                                               const std::string& key = MainKey) {
  std::map<std::string, std::string> values;
  std::istringstream lines(ReadAll(file));
  bool inKey = false;
  for (std::string line; std::getline(lines, line);) {
    if (!line.empty() && line.back() == '\r')
      line.pop_back();
    if (line.starts_with('['))
      inKey = line == "[HKEY_CURRENT_USER" + key + "]";
    const std::size_t split = line.find("\"=");
    if (inKey && line.starts_with('"') && split != std::string::npos)
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

  // Never once it has ended: kill(-1) would signal every process.
  void Signal(int signal) const {
    if (Pid > 0)
      ::kill(Pid, signal);
  }

  // The wait status if the program has ended by now.
  std::optional<int> Ended() {
    int status = 0;
    if (Pid <= 0 || ::waitpid(Pid, &status, WNOHANG) != Pid)
      return std::nullopt;
    Pid = -1;
    return status;
  }

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

// Every session file of the data folder, one after the other.
std::string SessionText(const ScopedConfigHome& home) {
  std::string text;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(home.DataDir() / "sessions", error))
    text += ReadAll(entry.path());
  return text;
}

bool WaitForSessionLine(const ScopedConfigHome& home, const std::string& part, int timeoutMs) {
  for (int waited = 0; waited <= timeoutMs; waited += 50) {
    if (SessionText(home).find(part) != std::string::npos)
      return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return false;
}

// A SIGTERM while a box is open ends the program as closing its window
// does: status 0 and the 34 values saved. The wait only bounds a hang.
void ExpectEndWithTheSave(ProgramProcess& program, const ScopedConfigHome& home) {
  program.Signal(SIGTERM);
  const std::optional<int> status = program.WaitForExit(60000);
  ASSERT_TRUE(status.has_value()) << "marrowlink did not end on SIGTERM with a box open";
  EXPECT_TRUE(WIFEXITED(*status) && WEXITSTATUS(*status) == 0) << "wait status " << *status;
  EXPECT_EQ(SavedValues(home.AppDir() / "user.reg").size(), 34u);
}

void WriteMainKey(const ScopedConfigHome& home, const std::vector<std::string>& values) {
  std::filesystem::create_directories(home.AppDir());
  std::ofstream file(home.AppDir() / "user.reg", std::ios::binary);
  file << "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER" << MainKey << "]\r\n";
  for (const std::string& value : values)
    file << value << "\r\n";
}

} // namespace

// A box while the windows are being made: a settings file that cannot be
// read (the box comes as the main window loads it), and a panel count past
// the last panel's record (as the panel monitor loads its layout).
TEST(Program, SigtermDuringABoxAtStartEndsWithTheSave) {
  {
    ScopedConfigHome home;
    std::filesystem::create_directories(home.AppDir());
    std::ofstream(home.AppDir() / "user.reg", std::ios::binary) << "REGEDIT4\r\n\r\n[damaged";
    ProgramProcess program;
    // Set aside before the box shows.
    const auto setAside = [&] {
      for (const auto& entry : std::filesystem::directory_iterator(home.AppDir()))
        if (entry.path().filename().string().starts_with("user.reg.bad-"))
          return true;
      return false;
    };
    for (int waited = 0; !setAside() && waited < 30000; waited += 50)
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    ASSERT_TRUE(setAside());
    ExpectEndWithTheSave(program, home);
  }
  {
    ScopedConfigHome home;
    WriteMainKey(home, {"\"Monitor Panels\"=dword:0000000b", "\"Message\"=\"kept\""});
    ProgramProcess program;
    ASSERT_TRUE(
        WaitForSessionLine(home, "Cannot find the record named Monitor Panel10 Command", 30000));
    ExpectEndWithTheSave(program, home);
    const std::map<std::string, std::string> saved = SavedValues(home.AppDir() / "user.reg");
    EXPECT_EQ(saved.at("Message"), "\"kept\"");
    EXPECT_EQ(saved.at("Monitor Panels"), "dword:0000000a");
  }
}

// A box raised inside the running loop: the device vanishes at the first
// request of the repetition, which closes the port with its error.
TEST(Program, SigtermDuringABoxFromAnExchangeErrorEndsWithTheSave) {
  ScopedConfigHome home;
  SimProcess sim({"--steady", "--hangup-after", "1"});
  WriteMainKey(home, {"\"Port\"=\"" + sim.PortName() + "\"", "\"Open\"=dword:00000001",
                      "\"Cycle\"=dword:00000001", "\"Message\"=\"p.v\""});
  ProgramProcess program;
  ASSERT_TRUE(WaitForSessionLine(home, "\terror\t", 30000)) << SessionText(home);
  ExpectEndWithTheSave(program, home);
}

// Ten panels come back as saved, and a position off every screen comes back
// on one: both are written only by the panel monitor itself, at its
// destruction, while the main window's settings store still exists.
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
         << "\"Monitor Panels\"=dword:0000000a\r\n";
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
  // The line's own settings, in their subkey, after the main key's.
  EXPECT_EQ(SavedValues(home.AppDir() / "user.reg", MainKey + "\\Line"),
            (std::map<std::string, std::string>{{"Answer End", "dword:00000000"},
                                                {"RTS Active Low", "dword:00000000"}}));
}

// Started under nohup, the program keeps running on SIGHUP. Signals that
// come while it closes wait for its save, which leaves every value.
TEST(Program, IgnoredHangupStaysIgnoredAndNoSignalCutsTheSaveShort) {
  ScopedConfigHome home;
  const std::filesystem::path wire = home.Path() / "wire.bin";
  SimProcess sim({"--steady", "--record", wire.string()});
  std::filesystem::create_directories(home.AppDir());
  std::ofstream(home.AppDir() / "user.reg", std::ios::binary)
      << "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Tavrin\\Private\\Marrowlink]\r\n"
      << "\"Port\"=\"" << sim.PortName() << "\"\r\n\"Open\"=dword:00000001\r\n"
      << "\"Monitor\"=dword:00000001\r\n\"Address\"=\"old\"\r\n"
      << "\"Monitor Panels\"=dword:00000001\r\n\"Monitor Panel0 Command\"=\"hup\"\r\n";

  const auto hangup = std::signal(SIGHUP, SIG_IGN);
  ProgramProcess program;
  std::signal(SIGHUP, hangup);
  EXPECT_TRUE(WaitForFile(wire, "hup\r\n", 30000)) << ReadAll(wire);
  program.Signal(SIGHUP);
  EXPECT_FALSE(program.WaitForExit(1000).has_value()) << "SIGHUP ended it under nohup";

  program.Signal(SIGTERM);
  std::optional<int> status;
  for (int sent = 0; !status && sent < 30000; ++sent) {
    program.Signal(SIGINT);
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
    status = program.Ended();
  }
  ASSERT_TRUE(status.has_value()) << "marrowlink did not end";
  const std::map<std::string, std::string> saved = SavedValues(home.AppDir() / "user.reg");
  EXPECT_EQ(saved.size(), 34u);
  EXPECT_EQ(saved.at("Address"), "\"255\"");
}
