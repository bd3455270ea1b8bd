#include "settings/CommandsDatabase.h"
#include "tests/support/SettingsTestSupport.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

namespace {

const std::string CommandsKey =
    "HKEY_CURRENT_USER\\Software\\Tavrin\\Private\\Marrowlink\\Commands";

using platform::posix::HiveValue;
using platform::posix::RegistryHive;

const HiveValue* Find(const RegistryHive& hive, const std::string& name) {
  return RegistryHive::FindValue(*hive.FindKey(CommandsKey), name);
}

} // namespace

// A damaged button stays among the others, moves with them when one before
// it goes, and takes its values as they were found to its new number; the
// removed button's values leave the file.
TEST(CommandsDatabase, ADamagedButtonKeepsItsPlaceAndARemovedOneLeavesNoValue) {
  ScopedConfigHome home;
  const auto file = home.AppDir() / "user.reg";
  WriteWholeFile(file, "REGEDIT4\r\n\r\n[" + CommandsKey +
                           "]\r\n"
                           "\"Buttons\"=dword:00000004\r\n"
                           "\"Button0 Caption\"=\"Value\"\r\n"
                           "\"Button0 Command\"=\"p.v\"\r\n"
                           "\"Button0 Every\"=dword:00000000\r\n"
                           "\"Button1 Caption\"=\"\"\r\n"
                           "\"Button1 Command\"=\"F\\\\x30\"\r\n"
                           "\"Button1 Every\"=dword:000002bc\r\n"
                           "\"Button2 Caption\"=\"Broken\"\r\n"
                           "\"Button2 Command\"=\"b\"\r\n"
                           "\"Button2 Every\"=dword:00000032\r\n"
                           "\"Button3 Caption\"=\"Last\"\r\n"
                           "\"Button3 Command\"=\"l\"\r\n"
                           "\"Button3 Every\"=dword:00000000\r\n"
                           "\"Visible\"=dword:00000001\r\n");
  const RegistryHive before = ParseHiveFile(file);
  TCommandsDatabase store;
  std::vector<TCommandButton> buttons = store.Buttons();
  ASSERT_EQ(buttons.size(), 4u);
  EXPECT_EQ(buttons[1], (TCommandButton{"", "F\\x30", 700, false, 1})) << "the text as typed";
  EXPECT_TRUE(buttons[2].Damaged);
  EXPECT_FALSE(buttons[0].Damaged || buttons[3].Damaged);
  EXPECT_TRUE(store.GetBoolean("Visible"));
  EXPECT_EQ(DamagedValuesReport({&store}),
            "Commands\\Button2 Every: the dword 50 where a dword of 0 or from 100 belongs; its "
            "default is used, the stored value kept");

  buttons.erase(buttons.begin());
  buttons[2].Caption = "Final";
  store.SetButtons(buttons);
  store.Save();

  const RegistryHive after = ParseHiveFile(file);
  EXPECT_EQ(after.FindKey(CommandsKey)->Values.size(), 4u + 3 * 3);
  EXPECT_EQ(Find(after, "Buttons")->Data, std::string("\3\0\0\0", 4));
  EXPECT_EQ(Find(after, "Button0 Command")->Data, std::string("F\\x30\0", 6));
  EXPECT_EQ(Find(after, "Button1 Caption")->Data, Find(before, "Button2 Caption")->Data);
  EXPECT_EQ(Find(after, "Button1 Every")->Data, Find(before, "Button2 Every")->Data)
      << "the damaged value as it was found, under the number its button has now";
  EXPECT_EQ(Find(after, "Button2 Caption")->Data, std::string("Final\0", 6));
  EXPECT_EQ(Find(after, "Button3 Command"), nullptr);

  const TCommandsDatabase reloaded;
  const std::vector<TCommandButton> again = reloaded.Buttons();
  ASSERT_EQ(again.size(), 3u);
  EXPECT_TRUE(again[1].Damaged);
  EXPECT_EQ(again[2].Command, "l");

  // Emptied: nothing of the buttons is left, the count and window stay.
  TCommandsDatabase emptied;
  emptied.SetButtons({});
  emptied.Save();
  EXPECT_EQ(ParseHiveFile(file).FindKey(CommandsKey)->Values.size(), 4u);
}
