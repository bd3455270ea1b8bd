#include "settings/MarrowlinkDatabase.h"
#include "platform/Registry.h"
#include "tests/support/SettingsTestSupport.h"
#include "tests/support/TempDir.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

const std::string OurKey = "HKEY_CURRENT_USER\\Software\\Tavrin\\Private\\Marrowlink";

struct Setting {
  std::string Name;
  std::uint32_t Type;
};

std::vector<Setting> Schema() {
  std::vector<Setting> schema = {
      {"Left", platform::RegDword},
      {"Top", platform::RegDword},
      {"Port", platform::RegSz},
      {"Protocol Index", platform::RegDword},
      {"Baudrate Index", platform::RegDword},
      {"Address", platform::RegSz},
      {"Message", platform::RegSz},
      {"Cycle", platform::RegDword},
      {"Monitor", platform::RegDword},
      {"Open", platform::RegDword},
      {"Monitor Left", platform::RegDword},
      {"Monitor Top", platform::RegDword},
      {"Monitor Show Editors", platform::RegDword},
      {"Monitor Panels", platform::RegDword},
  };
  for (char panel = '0'; panel <= '9'; ++panel) {
    schema.push_back({std::string("Monitor Panel") + panel + " Command", platform::RegSz});
    schema.push_back({std::string("Monitor Panel") + panel + " Color", platform::RegDword});
  }
  return schema;
}

const std::vector<std::string> Booleans = {"Cycle", "Monitor", "Open", "Monitor Show Editors"};

bool IsBoolean(const std::string& name) {
  return std::ranges::find(Booleans, name) != Booleans.end();
}

void Release(std::unique_ptr<TMarrowlinkDatabase> store) {
  std::unique_ptr<TDatabase> owned = std::move(store);
  ReleaseDatabase(owned);
}

} // namespace

TEST(MarrowlinkDatabase, FirstRunStartsEmptyAndSavesEverySetting) {
  ScopedConfigHome home;
  auto store = std::make_unique<TMarrowlinkDatabase>();
  EXPECT_EQ(store->LoadError(), "");
  for (const Setting& setting : Schema()) {
    if (setting.Type == platform::RegSz)
      EXPECT_EQ(store->GetString(setting.Name), "") << setting.Name;
    else if (IsBoolean(setting.Name))
      EXPECT_FALSE(store->GetBoolean(setting.Name)) << setting.Name;
    else
      EXPECT_EQ(store->GetInteger(setting.Name), 0) << setting.Name;
  }
  Release(std::move(store));

  const auto hive = ParseHiveFile(home.AppDir() / "user.reg");
  ASSERT_EQ(hive.Keys().size(), 1u);
  EXPECT_EQ(hive.Keys()[0].Path, OurKey);
  const auto& values = hive.Keys()[0].Values;
  const auto schema = Schema();
  ASSERT_EQ(values.size(), schema.size());
  for (std::size_t i = 0; i < schema.size(); ++i) {
    EXPECT_EQ(values[i].Name, schema[i].Name) << "record " << i + 1;
    EXPECT_EQ(values[i].Type, schema[i].Type) << schema[i].Name;
    EXPECT_EQ(values[i].Data,
              schema[i].Type == platform::RegSz ? std::string(1, '\0') : std::string(4, '\0'));
  }
}

TEST(MarrowlinkDatabase, HandSetFlagsAndHandEditsSurviveASave) {
  ScopedConfigHome home;
  const auto file = home.AppDir() / "user.reg";
  WriteWholeFile(file, "REGEDIT4\r\n\r\n[" + OurKey +
                           "]\r\n"
                           "\"Open\"=dword:00000001\r\n"
                           "\"Monitor\"=dword:00000002\r\n"
                           "\"Port\"=\"COM7\"\r\n");
  auto store = std::make_unique<TMarrowlinkDatabase>();
  EXPECT_TRUE(store->GetBoolean("Open"));
  EXPECT_TRUE(store->GetBoolean("Monitor"));
  EXPECT_EQ(store->GetString("Port"), "COM7");
  store->SetInteger("Left", 120);

  // Edited by hand while the program runs.
  std::string text = ReadWholeFile(file);
  text += "\"Hand Added\"=\"kept\"\r\n\"Left\"=dword:00000001\r\n"
          "\r\n[HKEY_CURRENT_USER\\Software\\Other]\r\n\"X\"=hex(2):41,00\r\n";
  WriteWholeFile(file, text);
  Release(std::move(store));

  const auto hive = ParseHiveFile(file);
  ASSERT_NE(hive.FindKey("HKEY_CURRENT_USER\\Software\\Other"), nullptr);
  const auto& ours = *hive.FindKey(OurKey);
  using platform::posix::RegistryHive;
  ASSERT_NE(RegistryHive::FindValue(ours, "Hand Added"), nullptr);
  EXPECT_EQ(RegistryHive::FindValue(ours, "Left")->Data, std::string("\x78\0\0\0", 4))
      << "the program's own values are written at exit";

  TMarrowlinkDatabase next;
  EXPECT_TRUE(next.GetBoolean("Open")) << "flags set by hand persist";
  EXPECT_TRUE(next.GetBoolean("Monitor"));
}

TEST(MarrowlinkDatabase, TwoProgramsSavingAtOnceLeaveOneWholeFile) {
  ScopedConfigHome home;
  std::vector<pid_t> children;
  for (int writer = 1; writer <= 2; ++writer) {
    const pid_t child = ::fork();
    if (child == 0) {
      for (int round = 0; round < 4; ++round) {
        auto store = std::make_unique<TMarrowlinkDatabase>();
        for (const Setting& setting : Schema()) {
          if (setting.Type == platform::RegSz)
            store->SetString(setting.Name, "writer " + std::to_string(writer));
          else if (!IsBoolean(setting.Name))
            store->SetInteger(setting.Name, writer);
        }
        try {
          Release(std::move(store));
        } catch (...) {
          ::_exit(1);
        }
      }
      ::_exit(0);
    }
    children.push_back(child);
  }
  for (pid_t child : children) {
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "a save failed";
  }

  // The last writer wins as a whole: no mix of the two.
  TMarrowlinkDatabase store;
  EXPECT_EQ(store.LoadError(), "");
  const std::int32_t winner = store.GetInteger("Left");
  ASSERT_TRUE(winner == 1 || winner == 2);
  for (const Setting& setting : Schema()) {
    if (setting.Type == platform::RegSz) {
      EXPECT_EQ(store.GetString(setting.Name), "writer " + std::to_string(winner));
    } else if (!IsBoolean(setting.Name)) {
      EXPECT_EQ(store.GetInteger(setting.Name), winner);
    }
  }
}
