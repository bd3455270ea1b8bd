// k4410r-sim: a simulated instrument on a pseudo-terminal registered as a COM
// port, for trying the program and for its end-to-end tests.
#include "tools/sim/Instrument.h"
#include "tools/sim/PseudoTerminal.h"
#include "tools/sim/SimOptions.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <exception>
#include <fcntl.h>
#include <poll.h>
#include <random>
#include <thread>
#include <unistd.h>

namespace {

std::atomic<bool> StopRequested{false};

void RequestStop(int) {
  StopRequested = true;
}

void InstallSignalHandlers() {
  struct sigaction action {};
  action.sa_handler = RequestStop;
  sigemptyset(&action.sa_mask);
  for (const int signal : {SIGINT, SIGTERM, SIGHUP})
    ::sigaction(signal, &action, nullptr);
}

// Writes all of data, giving up when the other side stops reading for a while.
void WriteAll(int fd, const std::string& data) {
  std::size_t done = 0;
  int stalled = 0;
  while (done < data.size() && stalled < 20 && !StopRequested) {
    const ssize_t n = ::write(fd, data.data() + done, data.size() - done);
    if (n > 0) {
      done += static_cast<std::size_t>(n);
      stalled = 0;
    } else if (n < 0 && errno != EAGAIN && errno != EINTR) {
      return;
    } else {
      pollfd entry{fd, POLLOUT, 0};
      if (::poll(&entry, 1, 100) <= 0)
        ++stalled;
    }
  }
}

class TSimulator {
public:
  TSimulator(const TSimOptions& options, int fd)
      : Options(options), Fd(fd), Instrument(options.Drifting),
        Start(std::chrono::steady_clock::now()) {
    if (!Options.RecordPath.empty())
      Record = ::open(Options.RecordPath.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
  }
  ~TSimulator() {
    if (Record >= 0)
      ::close(Record);
  }
  TSimulator(const TSimulator&) = delete;
  TSimulator& operator=(const TSimulator&) = delete;

  // Takes received bytes; false once the instrument is to vanish.
  bool Receive(const char* data, std::size_t size) {
    if (Record >= 0 && ::write(Record, data, size) < 0)
      std::perror("k4410r-sim: record");
    Pending.append(data, size);
    for (std::size_t end = Pending.find("\r\n"); end != std::string::npos;
         end = Pending.find("\r\n")) {
      const std::string command = Pending.substr(0, end);
      Pending.erase(0, end + 2);
      if (Options.HangupAfter > 0 && ++Requests >= Options.HangupAfter)
        return false;
      Respond(command);
    }
    // A peer that never ends its line must not grow the buffer without bound.
    if (Pending.size() > 65536)
      Pending.clear();
    return true;
  }

private:
  void Respond(const std::string& command) {
    if (Options.Silent)
      return;
    std::optional<std::string> answer = Options.Garbage ? Garbage() : AnswerTo(command);
    if (!answer)
      return;
    std::this_thread::sleep_for(std::chrono::milliseconds(Options.DelayMs));
    const std::size_t pieceSize = (answer->size() + static_cast<std::size_t>(Options.Pieces) - 1) /
                                  static_cast<std::size_t>(Options.Pieces);
    for (std::size_t at = 0; at < answer->size(); at += pieceSize) {
      if (at > 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(Options.GapMs));
      WriteAll(Fd, answer->substr(at, pieceSize));
    }
  }

  std::optional<std::string> AnswerTo(const std::string& command) {
    const std::chrono::duration<double> t = std::chrono::steady_clock::now() - Start;
    std::optional<std::string> answer = Instrument.Answer(command, t.count());
    if (answer && Options.AnswerSize > 0)
      answer =
          command + " " + std::string(static_cast<std::size_t>(Options.AnswerSize), '7') + "\r\n";
    return answer;
  }

  std::string Garbage() {
    std::uniform_int_distribution<int> length(1, 200);
    std::uniform_int_distribution<int> byte(0, 255);
    std::string bytes(static_cast<std::size_t>(length(Random)), '\0');
    for (char& c : bytes)
      c = static_cast<char>(byte(Random));
    return bytes;
  }

  const TSimOptions& Options;
  int Fd;
  TInstrument Instrument;
  std::chrono::steady_clock::time_point Start;
  std::string Pending;
  int Requests = 0;
  int Record = -1;
  std::mt19937 Random{std::random_device{}()};
};

int Run(const TSimOptions& options) {
  TPseudoTerminal pty;
  TComLink link(pty.SlavePath(), options.Port);
  std::printf("k4410r-sim: COM%d is %s\n", link.Number(), pty.SlavePath().c_str());
  std::fflush(stdout);

  TSimulator simulator(options, pty.MasterFd());
  char buffer[4096];
  while (!StopRequested) {
    pollfd entry{pty.MasterFd(), POLLIN, 0};
    if (::poll(&entry, 1, 200) <= 0)
      continue;
    const ssize_t n = ::read(pty.MasterFd(), buffer, sizeof buffer);
    if (n <= 0)
      continue;
    if (!simulator.Receive(buffer, static_cast<std::size_t>(n))) {
      std::printf("k4410r-sim: COM%d vanished\n", link.Number());
      break;
    }
  }
  link.Remove();
  pty.Close();
  return 0;
}

} // namespace

int main(int argc, char** argv) {
  int exitCode = 0;
  const auto options = ParseSimOptions(std::vector<std::string>(argv + 1, argv + argc), exitCode);
  if (!options)
    return exitCode;
  InstallSignalHandlers();
  try {
    return Run(*options);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "k4410r-sim: %s\n", error.what());
    return 1;
  }
}
