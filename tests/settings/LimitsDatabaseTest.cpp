#include "settings/LimitsDatabase.h"
#include "settings/MarrowlinkDatabase.h"
#include "settings/SettingNames.h"
#include "tests/support/SettingsTestSupport.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

namespace {

const std::string OurKey = "HKEY_CURRENT_USER\\Software\\Tavrin\\Private\\Marrowlink";

using platform::posix::RegistryHive;

} // namespace

TEST(LimitsDatabase, NumbersStayAsTypedBesideTheMainKeysValues) {
  ScopedConfigHome home;
  {
    TMarrowlinkDatabase settings;
    TLimitsDatabase limits;
    EXPECT_EQ(limits.LoadError(), "");
    EXPECT_FALSE(limits.GetBoolean("Beep"));
    limits.SetString(PanelLowName(0), " 24,50 ");
    limits.SetString(PanelHighName(9), "2.5E+01");
    limits.SetString(PanelHysteresisName(3), "0.10");
    limits.SetBoolean("Beep", true);
    SaveDatabases({&settings, &limits});
  }
  TLimitsDatabase limits;
  EXPECT_EQ(limits.GetString("Panel0 Low"), " 24,50 ");
  EXPECT_EQ(limits.GetString("Panel9 High"), "2.5E+01");
  EXPECT_EQ(limits.GetString("Panel3 Hysteresis"), "0.10");
  EXPECT_EQ(limits.GetString("Panel0 High"), "");
  EXPECT_TRUE(limits.GetBoolean("Beep"));
  EXPECT_THROW(limits.GetString("Panel10 Low"), std::exception);

  const auto hive = ParseHiveFile(home.AppDir() / "user.reg");
  ASSERT_NE(hive.FindKey(OurKey), nullptr);
  EXPECT_EQ(hive.FindKey(OurKey)->Values.size(), 34u);
  const auto* subkey = hive.FindKey(OurKey + "\\Limits");
  ASSERT_NE(subkey, nullptr);
  EXPECT_EQ(subkey->Values.size(), 31u);
  ASSERT_NE(RegistryHive::FindValue(*subkey, "Beep"), nullptr);
  EXPECT_EQ(RegistryHive::FindValue(*subkey, "Beep")->Data, std::string("\1\0\0\0", 4));
}

// The store holds text, not numbers: what no number reads from goes back
// as it came.
TEST(LimitsDatabase, TextThatIsNoNumberIsWrittenBackAsItWas) {
  ScopedConfigHome home;
  const auto file = home.AppDir() / "user.reg";
  WriteWholeFile(file, "REGEDIT4\r\n\r\n[" + OurKey +
                           "\\Limits]\r\n"
                           "\"Panel2 High\"=\"twenty \\\"or so\\\"\"\r\n");
  const std::string before =
      RegistryHive::FindValue(*ParseHiveFile(file).FindKey(OurKey + "\\Limits"), "Panel2 High")
          ->Data;
  {
    TLimitsDatabase limits;
    EXPECT_EQ(limits.LoadError(), "");
    EXPECT_EQ(limits.GetString(PanelHighName(2)), "twenty \"or so\"");
    limits.Save();
  }
  const RegistryHive after = ParseHiveFile(file);
  const auto* value = RegistryHive::FindValue(*after.FindKey(OurKey + "\\Limits"), "Panel2 High");
  ASSERT_NE(value, nullptr);
  EXPECT_EQ(value->Data, before);
}

TEST(SettingNames, APanelsValuesAreNumberedFromZero) {
  EXPECT_EQ(PanelCommandName(0), "Monitor Panel0 Command");
  EXPECT_EQ(PanelColorName(9), "Monitor Panel9 Color");
}
