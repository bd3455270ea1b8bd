// k4410r-sim: a simulated instrument on a pseudo-terminal registered as a COM
// port, for trying the program and for its end-to-end tests.
#include "tools/sim/Chaos.h"
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
#include <memory>
#include <poll.h>
#include <random>
#include <termios.h>
#include <thread>
#include <unistd.h>

namespace {

// After an answer's last byte, when an exchange has long stopped collecting.
constexpr int StaleAfterMs = 500;

std::atomic<bool> StopRequested{false};
std::atomic<bool> CalmRequested{false};

void RequestStop(int) {
  StopRequested = true;
}

void RequestCalm(int) {
  CalmRequested = true;
}

void InstallSignalHandlers() {
  struct sigaction action {};
  action.sa_handler = RequestStop;
  sigemptyset(&action.sa_mask);
  for (const int signal : {SIGINT, SIGTERM, SIGHUP})
    ::sigaction(signal, &action, nullptr);
  action.sa_handler = RequestCalm;
  ::sigaction(SIGUSR1, &action, nullptr);
}

// Sleeps, waking early when asked to stop.
void Pause(int ms) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  while (!StopRequested && std::chrono::steady_clock::now() < end)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
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
  explicit TSimulator(const TSimOptions& options)
      : Options(options), Instrument(options.Drifting), Start(std::chrono::steady_clock::now()) {
    if (!Options.RecordPath.empty())
      Record = ::open(Options.RecordPath.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (Options.Chaos)
      Chaos = std::make_unique<TChaos>(Options.Seed != 0 ? Options.Seed : std::random_device{}());
  }
  ~TSimulator() {
    if (Record >= 0)
      ::close(Record);
  }
  TSimulator(const TSimulator&) = delete;
  TSimulator& operator=(const TSimulator&) = delete;

  // The port's instrument end, anew after the port came back.
  void Attach(int fd) {
    Fd = fd;
    Pending.clear();
  }

  // Takes received bytes; returns how long the port is to stay away when it
  // is to vanish now (-1: for good), or 0.
  int Receive(const char* data, std::size_t size) {
    if (Record >= 0 && ::write(Record, data, size) < 0)
      std::perror("k4410r-sim: record");
    Pending.append(data, size);
    for (std::size_t end = Pending.find("\r\n"); end != std::string::npos;
         end = Pending.find("\r\n")) {
      const std::string command = Pending.substr(0, end);
      Pending.erase(0, end + 2);
      ++Requests;
      if (Options.HangupAfter > 0 && Requests >= Options.HangupAfter)
        return -1;
      const TDelivery delivery = Plan(command);
      if (delivery.Vanish)
        return delivery.VanishMs;
      Deliver(delivery);
    }
    // A peer that never ends its line must not grow the buffer without bound.
    if (Pending.size() > 65536)
      Pending.clear();
    return 0;
  }

  void PrintSummary() const {
    std::printf("k4410r-sim: requests=%d", Requests);
    if (Chaos)
      for (std::size_t kind = 0; kind < Chaos->Counts().size(); ++kind)
        std::printf(" %s=%d", TChaos::Name(static_cast<TChaos::TKind>(kind)),
                    Chaos->Counts()[kind]);
    std::printf("\n");
  }

private:
  TDelivery Plan(const std::string& command) {
    std::optional<std::string> answer = AnswerTo(command);
    if (Chaos && !CalmRequested)
      return Chaos->Next(answer);
    TDelivery delivery;
    if (Options.Silent)
      return delivery;
    if (answer && Options.Strict && !AtInstrumentRate())
      answer = WrongRateGarbage(*answer);
    else if (answer)
      answer = ApplyLineFaults(*answer, command, Options.Faults);
    delivery.Answer = Options.Garbage ? Garbage() : answer;
    delivery.DelayMs = Options.DelayMs;
    delivery.Pieces = Options.Pieces;
    delivery.GapMs = Options.GapMs;
    return delivery;
  }

  void Deliver(const TDelivery& delivery) {
    if (!delivery.Answer || delivery.Answer->empty())
      return;
    const std::string& answer = *delivery.Answer;
    Pause(delivery.DelayMs);
    const std::size_t pieces = static_cast<std::size_t>(std::max(delivery.Pieces, 1));
    const std::size_t pieceSize = (answer.size() + pieces - 1) / pieces;
    for (std::size_t at = 0; at < answer.size(); at += pieceSize) {
      if (at > 0)
        Pause(delivery.GapMs);
      WriteAll(Fd, answer.substr(at, pieceSize));
    }
    // Late enough to miss the exchange's collection, so it waits for the next.
    if (!Options.Stale.empty()) {
      Pause(StaleAfterMs);
      WriteAll(Fd, Options.Stale);
    }
  }

  // A pseudo-terminal's master reads the rate its slave was given; it
  // carries no parity, so the rate is what can be checked.
  bool AtInstrumentRate() const {
    termios tio{};
    return ::tcgetattr(Fd, &tio) == 0 && ::cfgetospeed(&tio) == B9600;
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
  int Fd = -1;
  TInstrument Instrument;
  std::chrono::steady_clock::time_point Start;
  std::string Pending;
  int Requests = 0;
  int Record = -1;
  std::mt19937 Random{std::random_device{}()};
  std::unique_ptr<TChaos> Chaos;
};

// Serves one life of the port; returns how long it is to stay away (-1: for
// good, 0: the program is to end).
int Serve(TSimulator& simulator, int fd) {
  simulator.Attach(fd);
  char buffer[4096];
  while (!StopRequested) {
    pollfd entry{fd, POLLIN, 0};
    if (::poll(&entry, 1, 200) <= 0)
      continue;
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n <= 0)
      continue;
    if (const int away = simulator.Receive(buffer, static_cast<std::size_t>(n)); away != 0)
      return away;
  }
  return 0;
}

int Run(const TSimOptions& options) {
  TSimulator simulator(options);
  int number = options.Port;
  for (;;) {
    TPseudoTerminal pty;
    TComLink link(pty.SlavePath(), number);
    number = link.Number();
    std::printf("k4410r-sim: COM%d is %s\n", number, pty.SlavePath().c_str());
    std::fflush(stdout);
    const int away = Serve(simulator, pty.MasterFd());
    link.Remove();
    pty.Close();
    if (away == 0)
      break;
    std::printf("k4410r-sim: COM%d vanished\n", number);
    std::fflush(stdout);
    if (away < 0)
      break;
    // Asked to calm down, it comes back at once.
    for (int waited = 0; waited < away && !StopRequested && !CalmRequested; waited += 50)
      Pause(50);
    if (StopRequested)
      break;
  }
  simulator.PrintSummary();
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
