// Times exchanges of p.v against k4410r-sim on a pseudo-terminal, through
// the line every exchange takes: the wall time of each exchange and the
// processor time it costs this process, with the session record off and
// on, for the fixed wait and the line end. Then the record alone: a day of
// lines at two exchanges a second, and the retention pass over 1,000 old
// files.
#include "line/InstrumentLine.h"
#include "platform/LocalTime.h"
#include "record/Retention.h"
#include "record/SessionRecord.h"
#include "tests/support/SimProcess.h"
#include "tests/support/TempDir.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sys/resource.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double CpuMs() {
  rusage usage{};
  ::getrusage(RUSAGE_SELF, &usage);
  const auto ms = [](const timeval& t) {
    return static_cast<double>(t.tv_sec) * 1000.0 + static_cast<double>(t.tv_usec) / 1000.0;
  };
  return ms(usage.ru_utime) + ms(usage.ru_stime);
}

double MsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// count exchanges, recorded when record is on; false on a wrong answer.
bool RunExchanges(TInstrumentLine& line, int count, bool record, const char* label) {
  line.Record().SetEnabled(record);
  std::vector<double> wall;
  const double cpuStart = CpuMs();
  for (int i = 0; i < count; ++i) {
    const auto start = Clock::now();
    const TReading reading = line.Exchange("p.v");
    wall.push_back(MsSince(start));
    if (reading.Answer != "p.v 23.5\r\n") {
      std::fprintf(stderr, "exchange %d: unexpected answer\n", i + 1);
      return false;
    }
  }
  const double cpuPerExchange = (CpuMs() - cpuStart) / count;
  std::sort(wall.begin(), wall.end());
  std::printf("record=%s exchanges=%d min_ms=%.1f max_ms=%.1f\n", label, count, wall.front(),
              wall.back());
  std::printf("record=%s exchange_ms_median=%.1f cpu_ms_per_exchange=%.3f\n", label,
              wall[wall.size() / 2], cpuPerExchange);
  return true;
}

// A day at two exchanges a second, written as fast as the record goes: the
// processor time per line and the longest any one line kept its caller.
void RecordADay(const TempDir& temp) {
  constexpr int Lines = 172800;
  TSessionRecord record((temp.Path() / "day").string());
  const platform::LocalTime at = platform::CurrentLocalTime();
  const std::string answer = "p.v 23.5\r\n";
  double longest = 0;
  const double cpuStart = CpuMs();
  const auto start = Clock::now();
  for (int i = 0; i < Lines; ++i) {
    const auto line = Clock::now();
    record.Exchange(at, "COM1", "p.v", answer, 452);
    longest = std::max(longest, MsSince(line));
  }
  std::printf("day_lines=%d wall_ms=%.0f cpu_ms_per_line=%.4f longest_line_ms=%.2f\n", Lines,
              MsSince(start), (CpuMs() - cpuStart) / Lines, longest);
}

void RetentionPass(const TempDir& temp) {
  const std::string folder = (temp.Path() / "old").string();
  std::filesystem::create_directories(folder);
  char name[32];
  for (int i = 0; i < 1000; ++i) {
    std::snprintf(name, sizeof name, "%04d-%02d-%02d.log", 2000 + i / 336, 1 + i / 28 % 12,
                  1 + i % 28);
    std::ofstream(std::filesystem::path(folder) / name) << "x\n";
  }
  // A start that finds nothing old only reads the folder; one that finds
  // a thousand old days removes all but the kept days before the newest.
  for (const int keepDays : {1000000, 90}) {
    const auto start = Clock::now();
    const int removed = RemoveOldSessions(folder, platform::CurrentLocalTime(), keepDays);
    std::printf("retention_files=1000 removed=%d wall_ms=%.1f\n", removed, MsSince(start));
  }
}

} // namespace

int main(int argc, char** argv) {
  const int count = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;
  ScopedConfigHome home;
  TempDir temp;
  {
    SimProcess sim({"--steady"});
    TInstrumentLine line(std::make_unique<TSessionRecord>((temp.Path() / "sessions").string()), {});
    // Both answer ends side by side, on one line in one run.
    for (const TAnswerEnd end : {TAnswerEnd::Wait, TAnswerEnd::Line}) {
      line.Open(sim.PortName(), sim.DevicePath(), false, end);
      std::printf("answer_end=%s\n", end == TAnswerEnd::Wait ? "wait" : "line");
      if (!RunExchanges(line, count, false, "off") || !RunExchanges(line, count, true, "on"))
        return 1;
    }
  }
  RecordADay(temp);
  RetentionPass(temp);
  return 0;
}
