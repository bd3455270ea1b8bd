// The command-line program's figures against k4410r-sim and a local broker:
// start to RTS raised; exchange time, processor time per exchange and
// resident memory while polling, with either answer end; readings a second
// of a poll every 100 ms of one and of three commands, with either answer
// end; readings a second through the MQTT publisher to a local broker; with
// a number of seconds, also a soak of that length with the broker restarted
// twice, memory and open files compared.
//
// usage: cli [soak seconds [poll rate seconds, default 60]]
#include "cli/MqttPublisher.h"
#include "tests/cli/Broker.h"
#include "tests/cli/CliProcess.h"
#include "tests/support/SimProcess.h"
#include "tests/support/TempDir.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double Ms(Clock::duration d) {
  return std::chrono::duration<double, std::milli>(d).count();
}

double CpuMs(const rusage& usage) {
  const auto ms = [](const timeval& t) {
    return static_cast<double>(t.tv_sec) * 1000.0 + static_cast<double>(t.tv_usec) / 1000.0;
  };
  return ms(usage.ru_utime) + ms(usage.ru_stime);
}

long ResidentKb(pid_t pid) {
  const std::string status = FileText("/proc/" + std::to_string(pid) + "/status");
  const std::size_t at = status.find("VmRSS:");
  return at == std::string::npos ? 0 : std::atol(status.c_str() + at + 6);
}

long OpenFiles(pid_t pid) {
  std::error_code error;
  const std::filesystem::directory_iterator fds("/proc/" + std::to_string(pid) + "/fd", error);
  return error ? 0 : std::distance(std::filesystem::begin(fds), std::filesystem::end(fds));
}

// The numbers after `label ` in every trace line.
std::vector<double> TraceFigures(const std::string& trace, const std::string& label) {
  std::vector<double> figures;
  for (std::size_t at = trace.find(label); at != std::string::npos; at = trace.find(label, at + 1))
    figures.push_back(std::atof(trace.c_str() + at + label.size()));
  return figures;
}

double Median(std::vector<double> values) {
  if (values.empty())
    return 0;
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

class Bench {
public:
  Bench() : Sim({"--steady", "--record", (Work.Path() / "wire").string()}) {}

  std::unique_ptr<ChildProcess> Cli(const std::string& name, std::vector<std::string> args,
                                    const std::vector<std::string>& commands = {"p.v"}) {
    args.insert(args.begin(), commands.begin(), commands.end());
    args.insert(args.begin(), {MARROWLINK_CLI_PATH, "poll", Sim.PortName()});
    return std::make_unique<ChildProcess>(
        name, args, Work.Path(),
        std::map<std::string, std::string>{{"XDG_CONFIG_HOME", Home.Path().string()},
                                           {"XDG_DATA_HOME", (Work.Path() / "data").string()}});
  }

  // From the program's start to RTS raised: to the first request byte at
  // the instrument, less the keying delay the trace shows before the write.
  void StartToRts() {
    std::vector<double> figures;
    for (int run = 0; run < 5; ++run) {
      const auto wire = Work.Path() / "wire";
      const auto before = std::filesystem::file_size(wire);
      const auto start = Clock::now();
      auto cli = Cli("start" + std::to_string(run), {"--count", "1", "--trace", "--no-session"});
      while (std::filesystem::file_size(wire) == before)
        std::this_thread::sleep_for(std::chrono::microseconds(200));
      const double firstByte = Ms(Clock::now() - start);
      cli->Wait();
      const std::vector<double> write = TraceFigures(cli->Err(), "write returned ");
      if (!write.empty())
        figures.push_back(firstByte - write.front());
    }
    std::printf("start_to_rts_ms_median=%.1f (5 runs)\n", Median(figures));
  }

  // Exchanges back to back with every output on; processor time per
  // exchange from the difference of a long and a short run.
  void Polling(const std::string& answerEnd) {
    Broker broker(Work.Path() / ("broker-" + answerEnd));
    const auto run = [&](const std::string& name, int count, long* peakKb, std::string* trace) {
      auto cli = Cli(name, {"--count", std::to_string(count), "--every", "1ms", "--trace", "--csv",
                            (Work.Path() / (name + answerEnd + ".csv")).string(), "--mqtt",
                            broker.Address(), "--answer-end", answerEnd});
      rusage usage{};
      int status = -1;
      while ((status = cli->Wait(100, &usage)) == -1 && cli->Id() > 0)
        if (peakKb)
          *peakKb = std::max(*peakKb, ResidentKb(cli->Id()));
      if (trace)
        *trace = cli->Err();
      return CpuMs(usage);
    };
    long peakKb = 0;
    std::string trace;
    const int shortCount = 2, longCount = 22;
    const double shortCpu = run("short", shortCount, nullptr, nullptr);
    const double longCpu = run("long", longCount, &peakKb, &trace);
    const std::vector<double> exchange = TraceFigures(trace, "answer read ");
    std::printf("answer_end=%s exchange_ms_median=%.1f min=%.1f max=%.1f (%zu exchanges)\n",
                answerEnd.c_str(), Median(exchange),
                *std::min_element(exchange.begin(), exchange.end()),
                *std::max_element(exchange.begin(), exchange.end()), exchange.size());
    std::printf("answer_end=%s cpu_ms_per_exchange=%.3f (csv, trace, session record, mqtt on)\n",
                answerEnd.c_str(), (longCpu - shortCpu) / (longCount - shortCount));
    std::printf("answer_end=%s resident_kb_peak_while_polling=%ld\n", answerEnd.c_str(), peakKb);
  }

  // Readings a second of a poll every 100 ms, of one command and of three,
  // with each answer end: the rounds follow each other as fast as the
  // exchanges allow.
  void PollRate(int seconds) {
    for (const std::vector<std::string>& commands :
         {std::vector<std::string>{"p.v"}, std::vector<std::string>{"p.v", "s.p", "o.p"}}) {
      double waitRate = 0;
      for (const std::string answerEnd : {"wait", "line"}) {
        const std::string name = "rate-" + answerEnd + std::to_string(commands.size());
        const std::filesystem::path jsonl = Work.Path() / (name + ".jsonl");
        auto cli = Cli(name,
                       {"--every", "100ms", "--for", std::to_string(seconds) + "s", "--no-session",
                        "--answer-end", answerEnd, "--jsonl", jsonl.string()},
                       commands);
        cli->Wait((seconds + 30) * 1000);
        std::istringstream lines(FileText(jsonl));
        std::size_t readings = 0;
        for (std::string line; std::getline(lines, line);)
          ++readings;
        const double rate = static_cast<double>(readings) / seconds;
        if (answerEnd == "wait")
          waitRate = rate;
        std::printf("answer_end=%s commands=%zu readings_per_s=%.2f (%zu in %d s, every 100ms)",
                    answerEnd.c_str(), commands.size(), rate, readings, seconds);
        if (answerEnd == "line" && waitRate > 0)
          std::printf(" %.2f times the fixed wait's", rate / waitRate);
        std::printf("\n");
      }
    }
  }

  // The publisher's queue full, handed to a broker on this machine as fast
  // as it acknowledges; a poll makes two or three readings a second.
  void MqttThroughput() {
    Broker broker(Work.Path() / "throughput-broker");
    TMqttOptions options;
    options.Host = "127.0.0.1";
    options.Port = static_cast<std::uint16_t>(broker.Port());
    constexpr std::size_t readings = 10000;
    TMqttPublisher publisher(options, {}, readings, [](const std::string&) {});
    const std::string topic = "marrowlink/bench/COM1/p.v";
    const std::string payload =
        R"({"time":"2026-12-08T16:54:18.737+00:00","value":23.7,"raw":"p.v 23.7\\r\\n"})";
    publisher.Publish(topic, payload); // the connection is made before the clock starts
    publisher.Flush(10000);
    std::vector<double> rates;
    std::size_t left = 0;
    for (int run = 0; run < 5; ++run) {
      const auto start = Clock::now();
      for (std::size_t i = 0; i < readings; ++i)
        publisher.Publish(topic, payload);
      left += publisher.Flush(120000);
      rates.push_back(static_cast<double>(readings) / (Ms(Clock::now() - start) / 1000.0));
    }
    std::printf("mqtt_readings_per_s_median=%.0f min=%.0f max=%.0f (5 runs of %zu readings to a "
                "local broker, %zu not taken)\n",
                Median(rates), *std::min_element(rates.begin(), rates.end()),
                *std::max_element(rates.begin(), rates.end()), readings, left);
  }

  void Soak(int seconds) {
    Broker broker(Work.Path() / "soak-broker");
    auto cli = Cli("soak", {"--every", "500ms", "--for", std::to_string(seconds) + "s", "--mqtt",
                            broker.Address(), "--csv", (Work.Path() / "soak.csv").string()});
    const auto start = Clock::now();
    const auto at = [&](double fraction) {
      std::this_thread::sleep_until(
          start + std::chrono::milliseconds(static_cast<long>(seconds * 1000 * fraction)));
    };
    at(0.1);
    const long rssStart = ResidentKb(cli->Id()), fdsStart = OpenFiles(cli->Id());
    for (const double fraction : {0.33, 0.66}) {
      at(fraction);
      broker.Stop();
      std::this_thread::sleep_for(std::chrono::seconds(3));
      broker.Start();
    }
    at(0.97);
    const long rssEnd = ResidentKb(cli->Id()), fdsEnd = OpenFiles(cli->Id());
    const int status = cli->Wait(seconds * 1000);
    std::printf("soak_s=%d broker_restarts=2 rss_kb %ld -> %ld fds %ld -> %ld status=%d\n", seconds,
                rssStart, rssEnd, fdsStart, fdsEnd, status);
    std::printf("soak_stderr:\n%s", cli->Err().c_str());
  }

private:
  ScopedConfigHome Home;
  TempDir Work;
  SimProcess Sim;
};

} // namespace

int main(int argc, char** argv) {
  Bench bench;
  bench.StartToRts();
  bench.Polling("wait");
  bench.Polling("line");
  bench.PollRate(argc > 2 ? std::atoi(argv[2]) : 60);
  bench.MqttThroughput();
  if (argc > 1 && std::atoi(argv[1]) > 0)
    bench.Soak(std::atoi(argv[1]));
  return 0;
}
