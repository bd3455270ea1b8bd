#include "record/Escape.h"
#include "record/SessionRecord.h"
#include "tests/record/TestFiles.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <sys/mman.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

constexpr int Writers = 2;
const char* const Ports[Writers] = {"COM3", "COM4"};

// Writes exchanges with answers of changing length for ever, counting in
// shown each one whose call has returned, as the window would show it.
[[noreturn]] void WriteForEver(const std::string& folder, int writer, std::atomic<long>& shown) {
  try {
    TSessionRecord record(folder, [] { return platform::LocalTime{2026, 12, 8, 10, 0, 0, 0, 0}; });
    for (long n = 1;; ++n) {
      const std::size_t length =
          500 + static_cast<std::size_t>((n * 7919 + writer * 104729) % 4000);
      record.Exchange(record.Now(), Ports[writer], "p.v",
                      std::string(length, static_cast<char>('a' + writer)) + "\r\n",
                      static_cast<std::uint32_t>(length));
      shown.store(n);
    }
  } catch (...) {
    ::_exit(1);
  }
}

std::vector<std::string> Split(const std::string& text, char separator) {
  std::vector<std::string> pieces(1);
  for (const char c : text) {
    if (c == separator)
      pieces.emplace_back();
    else
      pieces.back() += c;
  }
  return pieces;
}

} // namespace

TEST(SessionRecordKill, TwoProgramsKilledAtAnyMomentLeaveWholeLinesAndEveryShownExchange) {
  TempDir temp;
  const std::string folder = temp.Path().string();
  const std::filesystem::path file = temp.Path() / "2026-12-08.log";
  void* shared = ::mmap(nullptr, sizeof(std::atomic<long>) * Writers, PROT_READ | PROT_WRITE,
                        MAP_SHARED | MAP_ANONYMOUS, -1, 0);
  ASSERT_NE(shared, MAP_FAILED);
  auto* shown = new (shared) std::atomic<long>[Writers] {};
  long shownTotal[Writers] = {};

  for (int round = 1; round <= 3; ++round) {
    pid_t children[Writers] = {};
    for (int writer = 0; writer < Writers; ++writer) {
      shown[writer] = 0;
      children[writer] = ::fork();
      ASSERT_GE(children[writer], 0);
      if (children[writer] == 0)
        WriteForEver(folder, writer, shown[writer]);
    }
    // Let both write for a while, then kill them a little apart. One may
    // start late and the other fill the file alone: wait for a line of each.
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    const auto bothWriting = [&] { return shown[0] > 0 && shown[1] > 0; };
    std::error_code missing;
    while ((std::filesystem::file_size(file, missing) < round * 400000u || !bothWriting()) &&
           std::chrono::steady_clock::now() < giveUp)
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    for (const pid_t child : children) {
      ::kill(child, SIGKILL);
      std::this_thread::sleep_for(std::chrono::microseconds(300 * round));
    }
    for (int writer = 0; writer < Writers; ++writer) {
      int status = 0;
      ::waitpid(children[writer], &status, 0);
      EXPECT_TRUE(WIFSIGNALED(status)) << "writer " << writer << " stopped by itself";
      shownTotal[writer] += shown[writer];
    }
  }
  ::munmap(shared, sizeof(std::atomic<long>) * Writers);

  // A kill may cut the line being written short (between two pages); that
  // line stays on its own, ended by the next write, and no other is lost.
  const std::string bytes = ReadBytes(file.string());
  ASSERT_FALSE(bytes.empty());
  std::vector<std::string> lines = Split(bytes, '\n');
  if (lines.back().empty())
    lines.pop_back();
  long written[Writers] = {};
  int cut = 0;
  for (const std::string& line : lines) {
    const std::vector<std::string> fields = Split(line, '\t');
    const int writer = fields.size() > 1 && fields[1] == Ports[1] ? 1 : 0;
    if (fields.size() == 6 && fields[1] == Ports[writer] && !fields[5].empty() &&
        fields[5].find_first_not_of("0123456789") == std::string::npos &&
        UnescapeField(fields[4]) ==
            std::string(std::stoul(fields[5]), static_cast<char>('a' + writer)) + "\r\n")
      ++written[writer];
    else
      ++cut;
  }
  EXPECT_LE(cut, 3 * Writers) << "more lines cut short than kills";
  for (int writer = 0; writer < Writers; ++writer) {
    EXPECT_GT(shownTotal[writer], 0);
    EXPECT_GE(written[writer], shownTotal[writer]) << "writer " << writer;
  }
}
