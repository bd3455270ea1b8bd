// Times exchanges of p.v against k4410r-sim on a pseudo-terminal: the wall
// time of each exchange and the processor time it costs this process.
#include "serial/K4410RProtocol.h"
#include "tests/support/SimProcess.h"
#include "tests/support/TempDir.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <sys/resource.h>
#include <vector>

namespace {

double CpuMs() {
  rusage usage{};
  ::getrusage(RUSAGE_SELF, &usage);
  const auto ms = [](const timeval& t) {
    return static_cast<double>(t.tv_sec) * 1000.0 + static_cast<double>(t.tv_usec) / 1000.0;
  };
  return ms(usage.ru_utime) + ms(usage.ru_stime);
}

} // namespace

int main(int argc, char** argv) {
  const int count = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;
  ScopedConfigHome home;
  SimProcess sim({"--steady"});
  TK4410RProtocol protocol(sim.DevicePath(), 9600);

  std::vector<double> wall;
  const double cpuStart = CpuMs();
  for (int i = 0; i < count; ++i) {
    protocol.Request = "p.v";
    const auto start = std::chrono::steady_clock::now();
    protocol.Transact();
    const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
    wall.push_back(took.count());
    if (protocol.Answer != "p.v 23.5\r\n") {
      std::fprintf(stderr, "exchange %d: unexpected answer\n", i + 1);
      return 1;
    }
  }
  const double cpuPerExchange = (CpuMs() - cpuStart) / count;
  std::sort(wall.begin(), wall.end());
  std::printf("exchanges=%d min_ms=%.1f max_ms=%.1f\n", count, wall.front(), wall.back());
  std::printf("exchange_ms_median=%.1f cpu_ms_per_exchange=%.2f\n", wall[wall.size() / 2],
              cpuPerExchange);
  return 0;
}
