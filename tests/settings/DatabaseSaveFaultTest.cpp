// Saves of the application's settings that are cut short: by SIGKILL at any
// moment, or by a disk that is full.
#include "base/Exception.h"
#include "platform/Registry.h"
#include "platform/posix/registry/HiveFile.h"
#include "settings/MarrowlinkDatabase.h"
#include "tests/support/SettingsTestSupport.h"
#include "tests/support/TempDir.h"

#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <gtest/gtest.h>
#include <random>
#include <sched.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;
using platform::posix::HiveValue;

namespace {

const std::string OurKey = "HKEY_CURRENT_USER\\Software\\Tavrin\\Private\\Marrowlink";
constexpr std::size_t SettingCount = 34;

void Release(std::unique_ptr<TMarrowlinkDatabase> store) {
  std::unique_ptr<TDatabase> owned = std::move(store);
  ReleaseDatabase(owned);
}

// The stored values of our key, in the file's order (the order of the first
// save, which is the order of the records).
std::vector<HiveValue> StoredValues(const fs::path& file) {
  if (!fs::exists(file))
    return {};
  const auto hive = ParseHiveFile(file);
  const auto* key = hive.FindKey(OurKey);
  return key ? key->Values : std::vector<HiveValue>{};
}

// Marks every string and integer setting with generation; booleans refuse
// integers and stay as they are.
void MarkGeneration(TMarrowlinkDatabase& store, const std::vector<HiveValue>& values,
                    int generation) {
  for (const HiveValue& value : values) {
    if (value.Type == platform::RegSz) {
      store.SetString(value.Name, "generation " + std::to_string(generation));
      continue;
    }
    try {
      store.SetInteger(value.Name, generation);
    } catch (const Exception&) {
    }
  }
}

// The generation a stored value carries, or -1 for a boolean.
int GenerationOf(const HiveValue& value) {
  if (value.Type == platform::RegSz)
    return std::stoi(value.Data.substr(std::string("generation ").size()));
  std::int32_t number = 0;
  std::memcpy(&number, value.Data.data(), sizeof number);
  return value.Name == "Cycle" || value.Name == "Monitor" || value.Name == "Open" ||
                 value.Name == "Monitor Show Editors"
             ? -1
             : number;
}

std::string SaveGeneration(int generation) {
  auto store = std::make_unique<TMarrowlinkDatabase>();
  MarkGeneration(*store, StoredValues(platform::posix::HiveFilePath()), generation);
  try {
    Release(std::move(store));
  } catch (const Exception& error) {
    return error.what();
  }
  return {};
}

// Runs work in a child process whose view of folder is a fresh file system
// of the size given; returns what work returned, or nothing when this
// machine does not let the test mount one.
std::optional<std::string> RunOnSmallDisk(const fs::path& folder, const char* size,
                                          const std::function<std::string()>& work) {
  const uid_t uid = ::geteuid();
  const gid_t gid = ::getegid();
  const std::string result = RunInChild([&] {
    const int flags = uid == 0 ? CLONE_NEWNS : CLONE_NEWUSER | CLONE_NEWNS;
    if (::unshare(flags) != 0)
      return std::string("\x01no private mount");
    if (uid != 0) {
      std::ofstream("/proc/self/setgroups") << "deny";
      std::ofstream("/proc/self/uid_map") << "0 " << uid << " 1";
      std::ofstream("/proc/self/gid_map") << "0 " << gid << " 1";
    }
    const std::string options = std::string("size=") + size + ",mode=0700";
    if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
        ::mount("tmpfs", folder.c_str(), "tmpfs", 0, options.c_str()) != 0)
      return std::string("\x01no private mount");
    return work();
  });
  if (result.starts_with('\x01'))
    return std::nullopt;
  return result;
}

// Fills the file system holding folder until it takes no more bytes.
void FillDisk(const fs::path& folder) {
  std::ofstream filler(folder / "filler", std::ios::binary);
  const std::string block(4096, 'x');
  while (filler.write(block.data(), static_cast<std::streamsize>(block.size())))
    ;
}

} // namespace

TEST(DatabaseSaveFault, KilledSaveLeavesTheOldOrTheNewFileWhole) {
  ScopedConfigHome home;
  const fs::path file = home.AppDir() / "user.reg";
  ASSERT_EQ(SaveGeneration(0), "");
  ASSERT_EQ(StoredValues(file).size(), SettingCount);
  ASSERT_EQ(SaveGeneration(1), "") << "marks every setting with its generation";

  std::mt19937 random(20261208);
  std::uniform_int_distribution<int> pause(0, 60000);
  for (int round = 0; round < 16; ++round) {
    const pid_t child = ::fork();
    if (child == 0) {
      // Generations keep rising across rounds, so each save is told apart.
      for (int generation = (round + 2) * 100000;; ++generation)
        if (!SaveGeneration(generation).empty())
          ::_exit(1);
    }
    ::usleep(static_cast<useconds_t>(pause(random)));
    ::kill(child, SIGKILL);
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status)) << "the save failed instead of being killed";

    // Every value written replaces the file whole, and every save writes the
    // records in order from the first, so whatever saves were cut short, no
    // record holds a newer generation than the records before it.
    const std::vector<HiveValue> values = StoredValues(file);
    ASSERT_EQ(values.size(), SettingCount) << "round " << round << ": " << ReadWholeFile(file);
    int previous = -1;
    for (const HiveValue& value : values) {
      const int generation = GenerationOf(value);
      if (generation < 0)
        continue;
      if (previous >= 0) {
        EXPECT_LE(generation, previous) << value.Name << " was written before an earlier record";
      }
      previous = generation;
    }
    EXPECT_TRUE(FilesStartingWith(home.AppDir(), "user.reg.bad-").empty());
  }

  // What the killed saves left behind is cleared by the next one.
  ASSERT_EQ(SaveGeneration(99000000), "");
  EXPECT_TRUE(FilesStartingWith(home.AppDir(), "user.reg.tmp").empty());
  for (const HiveValue& value : StoredValues(file))
    EXPECT_TRUE(GenerationOf(value) < 0 || GenerationOf(value) == 99000000) << value.Name;
}

TEST(DatabaseSaveFault, FullDiskKeepsTheOldFileAndReports) {
  ScopedConfigHome home;
  fs::create_directories(home.AppDir());
  const fs::path file = home.AppDir() / "user.reg";
  const auto outcome = RunOnSmallDisk(home.AppDir(), "256k", [&] {
    if (const std::string error = SaveGeneration(0); !error.empty())
      return "first save: " + error;
    const std::string before = ReadWholeFile(file);
    FillDisk(home.AppDir());
    const std::string full = SaveGeneration(1);
    std::string report = full;
    if (ReadWholeFile(file) != before)
      report += "; the old file changed";
    if (!FilesStartingWith(home.AppDir(), "user.reg.tmp").empty())
      report += "; a temporary file was left";
    // Once there is room again, nothing keeps the next save from succeeding.
    fs::remove(home.AppDir() / "filler");
    if (const std::string error = SaveGeneration(2); !error.empty())
      report += "; after freeing space: " + error;
    else if (GenerationOf(StoredValues(file).front()) != 2)
      report += "; after freeing space the new values are missing";
    return report;
  });
  if (!outcome) {
    GTEST_SKIP() << "this machine does not allow a private small file system";
  }
  EXPECT_EQ(*outcome, "Failed to set data for 'Left'");
}
