#include "record/SessionRecord.h"
#include "base/Exception.h"
#include "record/Retention.h"
#include "tests/record/TestFiles.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#ifndef _WIN32
#include <sys/resource.h>
#endif

namespace {

platform::LocalTime At(int day, int hour, int minute, int second, int ms) {
  return {2026, 12, day, hour, minute, second, ms, 60};
}

// A limit on the size of the files this process writes, for its lifetime:
// a write across it stops short, as on a full disk. A Windows program
// cannot set one; under Wine the limit is the one that its ctest entry
// starts Wine with and names in MARROWLINK_FILE_SIZE_LIMIT.
class TFileSizeLimit {
public:
#ifdef _WIN32
  TFileSizeLimit() {
    const char* const bytes = std::getenv("MARROWLINK_FILE_SIZE_LIMIT");
    Limit = bytes != nullptr ? std::stoull(bytes) : 0;
  }
#else
  TFileSizeLimit() : Limit(64 * 1024) {
    ::getrlimit(RLIMIT_FSIZE, &Previous);
    PreviousSignal = std::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{Limit, Previous.rlim_max};
    ::setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~TFileSizeLimit() {
    ::setrlimit(RLIMIT_FSIZE, &Previous);
    std::signal(SIGXFSZ, PreviousSignal);
  }
#endif
  TFileSizeLimit(const TFileSizeLimit&) = delete;
  TFileSizeLimit& operator=(const TFileSizeLimit&) = delete;

  std::uintmax_t Bytes() const {
    return Limit;
  }

private:
  std::uintmax_t Limit = 0;
#ifndef _WIN32
  rlimit Previous{};
  void (*PreviousSignal)(int) = SIG_DFL;
#endif
};

} // namespace

TEST(SessionRecord, LinesGoToTheFileOfTheirLocalDayInAFolderMadeOnDemand) {
  TempDir temp;
  // Spaces and a byte beyond ASCII (the system's code page) in the names;
  // the folders do not exist. Under Wine the code page follows the locale
  // it was started in, which may have no such byte.
#ifdef _WIN32
  const std::string folder = temp.Path().string() + "/my data/cafe/sessions";
#else
  const std::string folder = temp.Path().string() + "/my data/caf\xE9/sessions";
#endif
  platform::LocalTime now = At(8, 23, 59, 59, 900);
  TSessionRecord record(folder, [&] { return now; });

  record.Exchange(record.Now(), "COM3", "p.v", "p.v 23.5\r\n", 452);
  now = At(9, 0, 0, 0, 100);
  record.Event("COM3", SessionKind::Playback, {"started", "C:\\cmds\tlist.txt"});
  record.Event("", SessionKind::Error, {"No port is open."});

  EXPECT_EQ(ReadBytes(folder + "/2026-12-08.log"),
            "2026-12-08T23:59:59.900+01:00\tCOM3\texchange\tp.v\tp.v 23.5\\r\\n\t452\n");
  EXPECT_EQ(ReadBytes(folder + "/2026-12-09.log"),
            "2026-12-09T00:00:00.100+01:00\tCOM3\tplayback\tstarted\tC:\\\\cmds\\tlist.txt\n"
            "2026-12-09T00:00:00.100+01:00\t\terror\tNo port is open.\n");
}

// Writes to a deleted file still succeed, into nothing. (Under Wine the
// file even keeps its name while it is open.)
TEST(SessionRecord, AFileDeletedWhileRecordingIsMadeAnew) {
  TempDir temp;
  const platform::LocalTime now = At(8, 10, 0, 0, 0);
  TSessionRecord record(temp.Path().string(), [&] { return now; });
  record.Event("COM3", SessionKind::Open);
  ASSERT_TRUE(std::filesystem::remove(temp.Path() / "2026-12-08.log"));
  record.Event("COM3", SessionKind::Close);
  EXPECT_EQ(ReadBytes((temp.Path() / "2026-12-08.log").string()),
            "2026-12-08T10:00:00.000+01:00\tCOM3\tclose\n");
}

// A program killed in the middle of a line leaves it unfinished; the next
// line, of whichever program, starts on a line of its own.
TEST(SessionRecord, ALineLeftUnfinishedIsEndedBeforeTheNext) {
  TempDir temp;
  const std::filesystem::path file = temp.Path() / "2026-12-08.log";
  WriteBytes(file, "2026-12-08T09:59:59.000+01:00\tCOM4\tclo");
  TSessionRecord record(temp.Path().string(), [] { return At(8, 10, 0, 0, 0); });
  record.Event("COM3", SessionKind::Open);
  EXPECT_EQ(ReadBytes(file.string()), "2026-12-08T09:59:59.000+01:00\tCOM4\tclo\n"
                                      "2026-12-08T10:00:00.000+01:00\tCOM3\topen\n");
}

// A full disk that takes the front of a line: that front is taken back,
// and the lines before it, another program's among them, stay whole.
TEST(SessionRecord, ALineCutShortByAFullDiskIsTakenBackWhole) {
  const TFileSizeLimit limit;
  if (limit.Bytes() == 0)
    GTEST_SKIP() << "runs under the file size limit of its own ctest entry";
  TempDir temp;
  const std::filesystem::path file = temp.Path() / "2026-12-08.log";
  const std::string others = std::string(limit.Bytes() - 30, 'x') + "\tCOM4\topen\n";
  WriteBytes(file, others);
  TSessionRecord record(temp.Path().string(), [] { return At(8, 10, 0, 0, 0); });
  EXPECT_THROW(record.Exchange(record.Now(), "COM3", "p.v", "p.v 23.5\r\n", 452), Exception);
  EXPECT_FALSE(record.Enabled());
  EXPECT_EQ(ReadBytes(file.string()), others);
}

TEST(SessionRecord, AFolderThatCannotBeMadeRaisesOnceAndSwitchesRecordingOff) {
  TempDir temp;
  WriteBytes(temp.Path() / "plain file", "x");
  const std::string folder = (temp.Path() / "plain file" / "sessions").string();
  TSessionRecord record(folder, [] { return At(8, 10, 0, 0, 0); });
  try {
    record.Event("COM3", SessionKind::Open);
    FAIL() << "no error";
  } catch (const Exception& error) {
    const std::string message = error.what();
    EXPECT_NE(message.find(folder), std::string::npos) << message;
    EXPECT_NE(message.find("\r\n"), std::string::npos) << "no system text: " << message;
  }
  EXPECT_FALSE(record.Enabled());
  EXPECT_NO_THROW(record.Event("COM3", SessionKind::Close));
}

#ifndef _WIN32
TEST(SessionRecord, AFullDiskRaisesWithTheSystemsTextAndLeavesTheRestUnwritten) {
  TempDir temp;
  std::filesystem::create_symlink("/dev/full", temp.Path() / "2026-12-08.log");
  TSessionRecord record(temp.Path().string(), [] { return At(8, 10, 0, 0, 0); });
  try {
    record.Exchange(record.Now(), "COM3", "p.v", "", 450);
    FAIL() << "no error";
  } catch (const Exception& error) {
    EXPECT_NE(std::string(error.what()).find("No space left on device"), std::string::npos)
        << error.what();
  }
  EXPECT_FALSE(record.Enabled());
  EXPECT_NO_THROW(record.Exchange(record.Now(), "COM3", "p.v", "", 450));
}
#endif

TEST(RemoveOldSessions, RemovesOnlyDayFilesBeyondTheKeptDays) {
  TempDir temp;
  const char* names[] = {"2026-12-08.log", "2026-09-09.log",    "2026-09-08.log",
                         "2024-02-29.log", "2026-02-30.log",    "2026-9-08.log",
                         "notes.txt",      "2026-09-08.log.bak"};
  for (const char* name : names)
    WriteBytes(temp.Path() / name, "x");
  std::filesystem::create_directory(temp.Path() / "2020-01-01.log");
  const platform::LocalTime today = At(9, 12, 0, 0, 0);

  EXPECT_EQ(RemoveOldSessions(temp.Path().string(), today, 0), 0);
  EXPECT_EQ(RemoveOldSessions(temp.Path().string(), today, 90), 2);
  for (const char* name : names) {
    const bool removed =
        std::string(name) == "2026-09-08.log" || std::string(name) == "2024-02-29.log";
    EXPECT_EQ(std::filesystem::exists(temp.Path() / name), !removed) << name;
  }
  EXPECT_TRUE(std::filesystem::exists(temp.Path() / "2020-01-01.log"));
}

// Today as a clock set ahead says: only what is old by the newest earlier
// file's date too goes, and a file dated after today stays.
TEST(RemoveOldSessions, AClockSetAheadRemovesNothingTheTrueDateKeeps) {
  TempDir temp;
  const char* names[] = {"2026-12-01.log", "2026-12-07.log", "2026-09-07.log", "2026-09-08.log",
                         "2027-06-01.log"};
  for (const char* name : names)
    WriteBytes(temp.Path() / name, "x");
  const auto exists = [&](const char* name) { return std::filesystem::exists(temp.Path() / name); };

  // A hundred days after the newest file, 2026-12-07.
  const platform::LocalTime ahead{2027, 3, 17, 9, 0, 0, 0, 60};
  EXPECT_EQ(RemoveOldSessions(temp.Path().string(), ahead, 90), 1);
  EXPECT_FALSE(exists("2026-09-07.log"));
  for (const char* name : {"2026-12-01.log", "2026-12-07.log", "2026-09-08.log", "2027-06-01.log"})
    EXPECT_TRUE(exists(name)) << name;
}
