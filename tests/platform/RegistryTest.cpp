#include "platform/Registry.h"
#include "tests/support/SettingsTestSupport.h"
#include "tests/support/TempDir.h"

#include <csignal>
#include <cstring>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace platform;

namespace {

const std::string SubKey = "Software\\Tavrin\\Test";
const std::string HivePath = "HKEY_CURRENT_USER\\" + SubKey;

std::int32_t SetString(RegKey key, const std::string& name, const std::string& value) {
  return SetRegistryValue(key, name, RegSz, value.c_str(),
                          static_cast<std::uint32_t>(value.size() + 1));
}

std::int32_t SetDword(RegKey key, const std::string& name, std::uint32_t value) {
  return SetRegistryValue(key, name, RegDword, &value, sizeof value);
}

unsigned Mode(const fs::path& path) {
  struct stat info {};
  ::stat(path.c_str(), &info);
  return info.st_mode & 07777;
}

} // namespace

TEST(Registry, CreateWritesThroughAndQueryFollowsWin32) {
  ScopedConfigHome home;
  RegKey key = 0;
  EXPECT_EQ(OpenRegistryKey(CurrentUserKey, SubKey, &key), RegistryNotFound);
  EXPECT_NE(OpenRegistryKey(CurrentUserKey, "\\" + SubKey, &key), RegistrySuccess);
  EXPECT_NE(CreateRegistryKey(0x80000002, SubKey, &key), RegistrySuccess);

  ASSERT_EQ(CreateRegistryKey(CurrentUserKey, SubKey, &key), RegistrySuccess);
  const fs::path file = home.AppDir() / "user.reg";
  EXPECT_EQ(SetString(key, "Port", "COM3"), RegistrySuccess);
  EXPECT_EQ(SetDword(key, "Left", 0xFFFFFF85), RegistrySuccess);
  EXPECT_NE(SetString(key, "Bad\nName", "x"), RegistrySuccess) << "a name the file cannot hold";

  // The values reach the file together, whole, at the flush.
  EXPECT_FALSE(fs::exists(file));
  ASSERT_EQ(FlushRegistryKey(key), RegistrySuccess);
  EXPECT_EQ(Mode(file), 0600u);
  EXPECT_EQ(Mode(home.AppDir()), 0700u);
  const auto hive = ParseHiveFile(file);
  ASSERT_NE(hive.FindKey(HivePath), nullptr);
  EXPECT_EQ(hive.FindKey(HivePath)->Values.size(), 2u);
  EXPECT_NE(ReadWholeFile(file).find("\"Port\"=\"COM3\"\r\n\"Left\"=dword:ffffff85\r\n"),
            std::string::npos);
  EXPECT_TRUE(FilesStartingWith(home.AppDir(), "user.reg.tmp").empty());

  std::uint32_t type = 0, size = 0;
  EXPECT_EQ(QueryRegistryValue(key, "port", &type, nullptr, &size), RegistrySuccess)
      << "value names ignore case, as the system's registry does";
  EXPECT_EQ(type, RegSz);
  EXPECT_EQ(size, 5u) << "the terminating NUL is counted";
  char small[4];
  size = sizeof small;
  EXPECT_EQ(QueryRegistryValue(key, "Port", &type, small, &size), RegistryMoreData);
  EXPECT_EQ(size, 5u);
  char room[8] = {};
  size = sizeof room;
  EXPECT_EQ(QueryRegistryValue(key, "Port", &type, room, &size), RegistrySuccess);
  EXPECT_EQ(std::string(room, size), std::string("COM3\0", 5));
  EXPECT_EQ(QueryRegistryValue(key, "Missing", &type, nullptr, &size), RegistryNotFound);
  EXPECT_EQ(CloseRegistryKey(key), RegistrySuccess);

  RegKey reader = 0;
  ASSERT_EQ(OpenRegistryKey(CurrentUserKey, SubKey, &reader), RegistrySuccess);
  std::int32_t left = 0;
  size = sizeof left;
  EXPECT_EQ(QueryRegistryValue(reader, "Left", &type, &left, &size), RegistrySuccess);
  EXPECT_EQ(left, -123);
  EXPECT_NE(SetDword(reader, "Left", 1), RegistrySuccess) << "a key opened for reading";
  EXPECT_EQ(CloseRegistryKey(reader), RegistrySuccess);
}

TEST(Registry, KeepsWhatTheProgramDoesNotKnow) {
  ScopedConfigHome home;
  const fs::path file = home.AppDir() / "user.reg";
  WriteWholeFile(file, "REGEDIT4\r\n\r\n"
                       "[HKEY_CURRENT_USER\\Software\\Someone]\r\n"
                       "\"Path\"=hex(2):25,00\r\n"
                       "\r\n[HKEY_CURRENT_USER\\" +
                           SubKey +
                           "]\r\n"
                           "\"Extra\"=hex(7):61,00,00,00\r\n"
                           "\"Port\"=\"old\"\r\n");
  const auto before = ParseHiveFile(file);
  RegKey key = 0;
  ASSERT_EQ(CreateRegistryKey(CurrentUserKey, SubKey, &key), RegistrySuccess);
  ASSERT_EQ(SetString(key, "Port", "new"), RegistrySuccess);
  CloseRegistryKey(key);

  const auto after = ParseHiveFile(file);
  ASSERT_EQ(after.Keys().size(), 2u);
  EXPECT_EQ(after.Keys()[0], before.Keys()[0]);
  const auto& values = after.FindKey(HivePath)->Values;
  ASSERT_EQ(values.size(), 2u);
  EXPECT_EQ(values[0], before.FindKey(HivePath)->Values[0]);
  EXPECT_EQ(values[1].Data, std::string("new\0", 4));
}

TEST(Registry, ADeletedValueLeavesTheFileAtTheNextWriteAndOnlyIt) {
  ScopedConfigHome home;
  const fs::path file = home.AppDir() / "user.reg";
  WriteWholeFile(file, "REGEDIT4\r\n\r\n[" + HivePath +
                           "]\r\n\"Keep\"=\"k\"\r\n\"Gone\"=dword:00000001\r\n");
  RegKey reader = 0;
  ASSERT_EQ(OpenRegistryKey(CurrentUserKey, SubKey, &reader), RegistrySuccess);
  EXPECT_NE(DeleteRegistryValue(reader, "Gone"), RegistrySuccess) << "a key opened for reading";
  CloseRegistryKey(reader);

  RegKey key = 0;
  ASSERT_EQ(CreateRegistryKey(CurrentUserKey, SubKey, &key), RegistrySuccess);
  EXPECT_EQ(DeleteRegistryValue(key, "GONE"), RegistrySuccess) << "names ignore case";
  EXPECT_EQ(DeleteRegistryValue(key, "Gone"), RegistryNotFound);
  EXPECT_EQ(QueryRegistryValue(key, "Gone", nullptr, nullptr, nullptr), RegistryNotFound);
  EXPECT_EQ(ParseHiveFile(file).FindKey(HivePath)->Values.size(), 2u) << "not before the write";
  EXPECT_EQ(CloseRegistryKey(key), RegistrySuccess);
  const auto hive = ParseHiveFile(file);
  ASSERT_EQ(hive.FindKey(HivePath)->Values.size(), 1u);
  EXPECT_EQ(hive.FindKey(HivePath)->Values[0].Name, "Keep");
}

TEST(Registry, AWindowsExportLoadsAndIsWrittenBackAsRegedit4) {
  ScopedConfigHome home;
  const fs::path file = home.AppDir() / "user.reg";
  WriteWholeFile(file, Utf16LeFile(u"Windows Registry Editor Version 5.00\r\n\r\n"
                                   u"[HKEY_CURRENT_USER\\Software\\Someone]\r\n"
                                   u"\"Path\"=hex(2):25,00,50,00,25,00,00,00\r\n\r\n"
                                   u"[HKEY_CURRENT_USER\\Software\\Tavrin\\Test]\r\n"
                                   u"\"Port\"=\"COM7\"\r\n"));
  RegKey key = 0;
  std::string problem;
  ASSERT_EQ(OpenRegistryKey(CurrentUserKey, SubKey, &key, &problem), RegistrySuccess) << problem;
  char port[8] = {};
  std::uint32_t type = 0, size = sizeof port;
  EXPECT_EQ(QueryRegistryValue(key, "Port", &type, port, &size), RegistrySuccess);
  EXPECT_EQ(std::string(port, size), std::string("COM7\0", 5));
  CloseRegistryKey(key);
  EXPECT_TRUE(FilesStartingWith(home.AppDir(), "user.reg.bad-").empty());

  ASSERT_EQ(CreateRegistryKey(CurrentUserKey, SubKey, &key), RegistrySuccess);
  EXPECT_EQ(SetDword(key, "Open", 1), RegistrySuccess);
  CloseRegistryKey(key);
  EXPECT_EQ(ReadWholeFile(file), "REGEDIT4\r\n\r\n"
                                 "[HKEY_CURRENT_USER\\Software\\Someone]\r\n"
                                 "\"Path\"=hex(2):25,50,25,00\r\n\r\n"
                                 "[HKEY_CURRENT_USER\\Software\\Tavrin\\Test]\r\n"
                                 "\"Port\"=\"COM7\"\r\n"
                                 "\"Open\"=dword:00000001\r\n\r\n");
}

TEST(Registry, DamagedFileIsSetAsideNeverOverwritten) {
  ScopedConfigHome home;
  const fs::path file = home.AppDir() / "user.reg";
  const std::vector<std::string> damaged = {
      "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\" + SubKey + "]\r\n\"Port\"=\"CO",
      std::string("\x7f\x45LF\x02\x01\x01\0\0\0garbage", 17),
      "REGEDIT4\r\n[HKEY_CURRENT_USER\\X]\r\n\"v\"=\"" + std::string(1 << 20, 'a') + "\"\r\n",
  };
  for (std::size_t i = 0; i < damaged.size(); ++i) {
    WriteWholeFile(file, damaged[i]);
    RegKey key = 0;
    std::string problem;
    EXPECT_EQ(OpenRegistryKey(CurrentUserKey, SubKey, &key, &problem), RegistryNotFound);
    EXPECT_NE(problem.find(file.string()), std::string::npos) << problem;
    EXPECT_NE(problem.find("line "), std::string::npos) << problem;
    EXPECT_FALSE(fs::exists(file));
    const auto aside = FilesStartingWith(home.AppDir(), "user.reg.bad-");
    ASSERT_EQ(aside.size(), i + 1) << "an earlier bad file is never replaced";
    bool kept = false;
    for (const auto& path : aside)
      kept = kept || ReadWholeFile(path) == damaged[i];
    EXPECT_TRUE(kept) << "the damaged file is kept byte for byte";
    EXPECT_NE(problem.find("kept as"), std::string::npos) << problem;
  }

  // A writer that meets a damaged file sets it aside too before writing.
  WriteWholeFile(file, damaged[1]);
  RegKey key = 0;
  ASSERT_EQ(CreateRegistryKey(CurrentUserKey, SubKey, &key), RegistrySuccess);
  EXPECT_EQ(SetDword(key, "Left", 7), RegistrySuccess);
  CloseRegistryKey(key);
  EXPECT_EQ(FilesStartingWith(home.AppDir(), "user.reg.bad-").size(), damaged.size() + 1);
  EXPECT_NE(ParseHiveFile(file).FindKey(HivePath), nullptr);
}

// A save of a key and its sub-key replaces the file once, when the last of
// them closes; until then the file holds the old values only.
TEST(Registry, AKeyAndItsSubKeyAreWrittenOnceAtTheLastClose) {
  ScopedConfigHome home;
  const fs::path file = home.AppDir() / "user.reg";
  RegKey first = 0;
  ASSERT_EQ(CreateRegistryKey(CurrentUserKey, SubKey, &first), RegistrySuccess);
  ASSERT_EQ(SetDword(first, "Left", 1), RegistrySuccess);
  ASSERT_EQ(CloseRegistryKey(first), RegistrySuccess);
  const std::string before = ReadWholeFile(file);
  struct stat old {};
  ASSERT_EQ(::stat(file.c_str(), &old), 0);

  RegKey key = 0;
  RegKey sub = 0;
  ASSERT_EQ(CreateRegistryKey(CurrentUserKey, SubKey, &key), RegistrySuccess);
  ASSERT_EQ(SetDword(key, "Left", 2), RegistrySuccess);
  ASSERT_EQ(CreateRegistryKey(key, "Recording", &sub), RegistrySuccess);
  ASSERT_EQ(SetString(sub, "Folder", "x"), RegistrySuccess);
  ASSERT_EQ(CloseRegistryKey(sub), RegistrySuccess);
  EXPECT_EQ(ReadWholeFile(file), before);
  struct stat same {};
  ASSERT_EQ(::stat(file.c_str(), &same), 0);
  EXPECT_EQ(same.st_ino, old.st_ino) << "nothing was written before the last close";

  ASSERT_EQ(CloseRegistryKey(key), RegistrySuccess);
  const auto hive = ParseHiveFile(file);
  ASSERT_NE(hive.FindKey(HivePath), nullptr);
  ASSERT_NE(hive.FindKey(HivePath + "\\Recording"), nullptr);
  EXPECT_EQ(hive.FindKey(HivePath + "\\Recording")->Values.front().Data, std::string("x\0", 2));
  EXPECT_EQ(hive.FindKey(HivePath)->Values.front().Data, std::string("\2\0\0\0", 4));

  RegKey reader = 0;
  ASSERT_EQ(OpenRegistryKey(CurrentUserKey, SubKey, &reader), RegistrySuccess);
  EXPECT_NE(CreateRegistryKey(reader, "Recording", &sub), RegistrySuccess)
      << "a key open for reading has no sub-keys to write";
  CloseRegistryKey(reader);
}

// A settings file that is a link (a dotfile manager's) stays one: the save
// replaces the file it leads to.
TEST(Registry, ALinkedFileStaysLinked) {
  ScopedConfigHome home;
  const fs::path dotfiles = home.Path() / "dotfiles";
  fs::create_directories(dotfiles);
  fs::create_directories(home.AppDir());
  WriteWholeFile(dotfiles / "user.reg", "REGEDIT4\r\n");
  const fs::path file = home.AppDir() / "user.reg";
  fs::create_symlink("../dotfiles/user.reg", file);

  RegKey key = 0;
  ASSERT_EQ(CreateRegistryKey(CurrentUserKey, SubKey, &key), RegistrySuccess);
  ASSERT_EQ(SetString(key, "Port", "COM3"), RegistrySuccess);
  ASSERT_EQ(CloseRegistryKey(key), RegistrySuccess);

  ASSERT_TRUE(fs::is_symlink(file));
  EXPECT_EQ(fs::read_symlink(file), "../dotfiles/user.reg");
  EXPECT_NE(ReadWholeFile(dotfiles / "user.reg").find("\"Port\"=\"COM3\""), std::string::npos);
  EXPECT_TRUE(FilesStartingWith(dotfiles, "user.reg.tmp").empty());
}

TEST(Registry, UnreadableFileIsNotReplaced) {
  ScopedConfigHome home;
  fs::create_directories(home.AppDir() / "user.reg");
  RegKey key = 0;
  EXPECT_NE(CreateRegistryKey(CurrentUserKey, SubKey, &key), RegistrySuccess);
  EXPECT_TRUE(fs::is_directory(home.AppDir() / "user.reg"));
}

TEST(Registry, WriterKilledAtAnyMomentLeavesAWholeFile) {
  ScopedConfigHome home;
  const fs::path file = home.AppDir() / "user.reg";
  for (int round = 0; round < 12; ++round) {
    // Even rounds kill at any moment from the start, even before the folder
    // exists; odd rounds only once the writer has written, so however slow
    // the machine, half the kills land among writes.
    int written[2];
    ASSERT_EQ(::pipe(written), 0);
    const pid_t child = ::fork();
    if (child == 0) {
      ::close(written[0]);
      for (std::uint32_t n = 0;; ++n) {
        RegKey key = 0;
        if (CreateRegistryKey(CurrentUserKey, SubKey, &key) != RegistrySuccess)
          ::_exit(1);
        for (int value = 0; value < 20; ++value)
          SetString(key, "Value " + std::to_string(value),
                    std::string(200 + n % 50, static_cast<char>('a' + n % 26)));
        CloseRegistryKey(key);
        if (n == 0 && ::write(written[1], "w", 1) != 1)
          ::_exit(1);
      }
    }
    ::close(written[1]);
    char mark = 0;
    if (round % 2 == 1) {
      EXPECT_EQ(::read(written[0], &mark, 1), 1) << "the writer ended before writing";
    }
    ::usleep(static_cast<useconds_t>(5000 + 3731 * round % 40000));
    ::kill(child, SIGKILL);
    int status = 0;
    ::waitpid(child, &status, 0);
    ::close(written[0]);
    ASSERT_TRUE(WIFSIGNALED(status)) << "the writer failed instead of being killed";
    // A writer killed before it made the settings folder left nothing at all.
    if (!fs::exists(home.AppDir()))
      continue;
    if (fs::exists(file))
      ParseHiveFile(file);
    EXPECT_TRUE(FilesStartingWith(home.AppDir(), "user.reg.bad-").empty());
  }
  ASSERT_TRUE(fs::exists(file));
  RegKey key = 0;
  ASSERT_EQ(CreateRegistryKey(CurrentUserKey, SubKey, &key), RegistrySuccess);
  CloseRegistryKey(key);
  EXPECT_TRUE(FilesStartingWith(home.AppDir(), "user.reg.tmp").empty())
      << "a writer clears what killed writers left";
}
