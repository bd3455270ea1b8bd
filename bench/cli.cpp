// The command-line program's figures against k4410r-sim and a local broker:
// start to RTS raised, exchange time, processor time per exchange, resident
// memory while polling, readings per second through the MQTT publisher to a
// local broker; with a number of seconds, also a soak of that
// length with the broker restarted twice, memory and open files compared.
//
// usage: cli [soak seconds]
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

  std::unique_ptr<ChildProcess> Cli(const std::string& name, std::vector<std::string> args) {
    args.insert(args.begin(), {MARROWLINK_CLI_PATH, "poll", Sim.PortName(), "p.v"});
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
  void Polling() {
    Broker broker(Work.Path() / "broker");
    const auto run = [&](const std::string& name, int count, long* peakKb, std::string* trace) {
      auto cli = Cli(name, {"--count", std::to_string(count), "--every", "1ms", "--trace", "--csv",
                            (Work.Path() / (name + ".csv")).string(), "--mqtt", broker.Address()});
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
    std::printf("exchange_ms_median=%.1f min=%.1f max=%.1f (%zu exchanges)\n", Median(exchange),
                *std::min_element(exchange.begin(), exchange.end()),
                *std::max_element(exchange.begin(), exchange.end()), exchange.size());
    std::printf("cpu_ms_per_exchange=%.3f (csv, trace, session record, mqtt on)\n",
                (longCpu - shortCpu) / (longCount - shortCount));
    std::printf("resident_kb_peak_while_polling=%ld\n", peakKb);
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
  bench.Polling();
  bench.MqttThroughput();
  if (argc > 1 && std::atoi(argv[1]) > 0)
    bench.Soak(std::atoi(argv[1]));
  return 0;
}
