#include "settings/RecordingDatabase.h"
#include "settings/MarrowlinkDatabase.h"
#include "tests/support/SettingsTestSupport.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

const std::string OurKey = "HKEY_CURRENT_USER\\Software\\Tavrin\\Private\\Marrowlink";

using platform::posix::HiveValue;
using platform::posix::RegistryHive;

} // namespace

// A value that cannot be read keeps its default and goes back to the file
// byte for byte, unless it was set anew; the others are saved as changed.
TEST(RecordingDatabase, DamagedValuesGoBackAsTheyWereFoundAndTheOthersAreSaved) {
  ScopedConfigHome home;
  const auto file = home.AppDir() / "user.reg";
  WriteWholeFile(file, "REGEDIT4\r\n\r\n[" + OurKey +
                           "\\Recording]\r\n"
                           "\"Keep Days\"=\"30\"\r\n"
                           "\"Session Log\"=hex:01\r\n"
                           "\"Folder\"=hex(4):01,02\r\n"
                           "\"Time Stamps\"=dword:00000001\r\n"
                           "\"Log View\"=dword:00000003\r\n");
  const auto values = [&] {
    std::vector<HiveValue> found = ParseHiveFile(file).FindKey(OurKey + "\\Recording")->Values;
    std::sort(found.begin(), found.end(),
              [](const HiveValue& a, const HiveValue& b) { return a.Name < b.Name; });
    return found;
  };
  const std::vector<HiveValue> before = values();
  std::unique_ptr<TDatabase> settings = std::make_unique<TMarrowlinkDatabase>();
  std::unique_ptr<TDatabase> recording = std::make_unique<TRecordingDatabase>();
  EXPECT_EQ(recording->GetInteger("Keep Days"), 90);
  EXPECT_TRUE(recording->GetBoolean("Session Log"));
  EXPECT_EQ(recording->GetString("Folder"), "");
  EXPECT_TRUE(recording->GetBoolean("Time Stamps"));
  EXPECT_EQ(recording->GetInteger("Log View"), 0) << "a number of the right type but no view";
  EXPECT_EQ(settings->LoadError(), "") << "the subkey's damage is not the main key's";
  EXPECT_EQ(DamagedValuesReport({settings.get(), recording.get()}),
            "Recording\\Session Log: binary data where a dword belongs; its default is used, the "
            "stored value kept\r\n"
            "Recording\\Folder: a dword of 2 bytes where a string belongs; its default is used, "
            "the stored value kept\r\n"
            "Recording\\Keep Days: a string where a dword belongs; its default is used, the "
            "stored value kept\r\n"
            "Recording\\Log View: the dword 3 where a dword of 0, 1 or 2 belongs; its default is "
            "used, the stored value kept");

  recording->SetInteger("Keep Days", 90); // as it loaded
  recording->SetBoolean("Session Log", false);
  recording->SetBoolean("Time Stamps", false);
  SaveDatabases({settings.get(), recording.get()});

  EXPECT_EQ(ParseHiveFile(file).FindKey(OurKey)->Values.size(), 34u);
  const std::vector<HiveValue> after = values();
  ASSERT_EQ(after.size(), 5u);
  EXPECT_EQ(after[0], before[0]) << "Folder";
  EXPECT_EQ(after[1], before[1]) << "Keep Days";
  EXPECT_EQ(after[2], before[2]) << "Log View";
  EXPECT_EQ(after[3].Data, std::string(4, '\0')) << "Session Log, set anew";
  EXPECT_EQ(after[4].Data, std::string(4, '\0')) << "Time Stamps";
  TRecordingDatabase reloaded;
  EXPECT_FALSE(reloaded.GetBoolean("Session Log"));
}
