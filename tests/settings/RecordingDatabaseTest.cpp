#include "settings/RecordingDatabase.h"
#include "settings/MarrowlinkDatabase.h"
#include "tests/support/SettingsTestSupport.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

namespace {

const std::string OurKey = "HKEY_CURRENT_USER\\Software\\Tavrin\\Private\\Marrowlink";

} // namespace

TEST(RecordingDatabase, DamagedValuesKeepTheirDefaultAndTheMainKeyKeepsItsOwnValues) {
  ScopedConfigHome home;
  const auto file = home.AppDir() / "user.reg";
  WriteWholeFile(file, "REGEDIT4\r\n\r\n[" + OurKey +
                           "\\Recording]\r\n"
                           "\"Keep Days\"=\"ten\"\r\n"
                           "\"Session Log\"=hex:01\r\n"
                           "\"Time Stamps\"=dword:00000001\r\n");
  std::unique_ptr<TDatabase> settings = std::make_unique<TMarrowlinkDatabase>();
  std::unique_ptr<TDatabase> recording = std::make_unique<TRecordingDatabase>();
  EXPECT_EQ(recording->GetInteger("Keep Days"), 90);
  EXPECT_TRUE(recording->GetBoolean("Session Log"));
  EXPECT_EQ(recording->GetString("Folder"), "");
  EXPECT_TRUE(recording->GetBoolean("Time Stamps"));
  EXPECT_EQ(settings->LoadError(), "") << "the subkey's damage is not the main key's";
  ReleaseDatabase(settings);
  ReleaseDatabase(recording);

  const auto hive = ParseHiveFile(file);
  ASSERT_NE(hive.FindKey(OurKey), nullptr);
  EXPECT_EQ(hive.FindKey(OurKey)->Values.size(), 34u);
  const auto* subkey = hive.FindKey(OurKey + "\\Recording");
  ASSERT_NE(subkey, nullptr);
  using platform::posix::RegistryHive;
  ASSERT_NE(RegistryHive::FindValue(*subkey, "Keep Days"), nullptr);
  EXPECT_EQ(RegistryHive::FindValue(*subkey, "Keep Days")->Data, std::string("\x5A\0\0\0", 4));
  EXPECT_EQ(subkey->Values.size(), 4u);
}
