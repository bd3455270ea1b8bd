#include "tools/sim/SimOptions.h"

#include <cstdio>
#include <cstdlib>

namespace {

constexpr const char* Usage =
    "usage: k4410r-sim [options]\n"
    "A simulated instrument on a pseudo-terminal, registered as a COM port in\n"
    "$XDG_CONFIG_HOME/marrowlink/dosdevices (the link is removed at exit).\n"
    "It answers p.v, s.p, o.p and F0 with CR LF; unknown commands get silence.\n"
    "\n"
    "  --port N          register as COMN (default: the lowest free number)\n"
    "  --steady          fixed values (p.v 23.5, F0 23.5 and -10) instead of drifting\n"
    "  --silent          never answer\n"
    "  --pieces N        send each answer in N pieces\n"
    "  --gap MS          pause between pieces (default 30)\n"
    "  --delay MS        answer MS milliseconds after the request\n"
    "  --garbage         answer random bytes, NUL and bytes above 127 included\n"
    "  --answer-size N   pad each value to N bytes (long answers)\n"
    "  --hangup-after N  vanish (close the port) on the Nth request, unanswered\n"
    "  --no-echo         answer the value alone, without the command before it\n"
    "  --partial-echo    break the echo off after the command's first half\n"
    "  --first-byte-lost lose every answer's first byte\n"
    "  --stale TEXT      send TEXT half a second after each answer, so it waits\n"
    "                    in the queue when the next request goes out\n"
    "  --strict          answer only while the line is at 9600 baud; at another\n"
    "                    rate send the garbage a misframed answer becomes\n"
    "  --record FILE     append every received byte to FILE\n"
    "  --chaos           misbehave at random: silence, garbage, NUL bytes, 64 KB\n"
    "                    answers, split and late answers, and the port vanishing\n"
    "                    for a few seconds now and then; SIGUSR1 calms it down\n"
    "  --seed N          repeat the chaos of an earlier run\n"
    "  --help            show this text\n";

bool ReadCount(const std::string& text, int& value) {
  char* end = nullptr;
  const long parsed = std::strtol(text.c_str(), &end, 10);
  if (text.empty() || *end != '\0' || parsed < 0 || parsed > 100000000)
    return false;
  value = static_cast<int>(parsed);
  return true;
}

} // namespace

std::optional<TSimOptions> ParseSimOptions(const std::vector<std::string>& args, int& exitCode) {
  TSimOptions options;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    const bool hasValue = i + 1 < args.size();
    int* count = nullptr;
    if (arg == "--help") {
      std::fputs(Usage, stdout);
      exitCode = 0;
      return std::nullopt;
    } else if (arg == "--steady") {
      options.Drifting = false;
    } else if (arg == "--silent") {
      options.Silent = true;
    } else if (arg == "--chaos") {
      options.Chaos = true;
    } else if (arg == "--seed") {
      count = &options.Seed;
    } else if (arg == "--no-echo") {
      options.Faults.NoEcho = true;
    } else if (arg == "--partial-echo") {
      options.Faults.PartialEcho = true;
    } else if (arg == "--first-byte-lost") {
      options.Faults.FirstByteLost = true;
    } else if (arg == "--stale" && hasValue) {
      options.Stale = args[++i];
    } else if (arg == "--strict") {
      options.Strict = true;
    } else if (arg == "--garbage") {
      options.Garbage = true;
    } else if (arg == "--record" && hasValue) {
      options.RecordPath = args[++i];
    } else if (arg == "--port") {
      count = &options.Port;
    } else if (arg == "--pieces") {
      count = &options.Pieces;
    } else if (arg == "--gap") {
      count = &options.GapMs;
    } else if (arg == "--delay") {
      count = &options.DelayMs;
    } else if (arg == "--answer-size") {
      count = &options.AnswerSize;
    } else if (arg == "--hangup-after") {
      count = &options.HangupAfter;
    } else {
      std::fprintf(stderr, "k4410r-sim: unknown option %s\n%s", arg.c_str(), Usage);
      exitCode = 2;
      return std::nullopt;
    }
    if (count && (!hasValue || !ReadCount(args[++i], *count))) {
      std::fprintf(stderr, "k4410r-sim: %s needs a number\n", arg.c_str());
      exitCode = 2;
      return std::nullopt;
    }
  }
  if (options.Pieces < 1)
    options.Pieces = 1;
  return options;
}
