#include "settings/LineDatabase.h"
#include "tests/support/SettingsTestSupport.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

// "Answer End" is 0 or 1; any other number means 0 and is named at start
// like a value of the wrong type, and it stays in the file as it was.
TEST(LineDatabase, AnAnswerEndOutOfRangeMeansTheFixedWaitAndIsKept) {
  ScopedConfigHome home;
  const auto file = home.AppDir() / "user.reg";
  const struct {
    std::string Stored;
    std::int32_t Loaded;
    std::string Report;
  } cases[] = {{"dword:00000001", 1, ""},
               {"dword:00000002", 0, "the dword 2 where a dword of 0 or 1 belongs"},
               {"\"1\"", 0, "a string where a dword of 0 or 1 belongs"}};
  for (const auto& c : cases) {
    WriteWholeFile(file, "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Tavrin\\Private\\Marrowlink"
                         "\\Line]\r\n\"Answer End\"=" +
                             c.Stored + "\r\n\"RTS Active Low\"=dword:00000001\r\n");
    TLineDatabase line;
    EXPECT_EQ(line.GetInteger("Answer End"), c.Loaded) << c.Stored;
    EXPECT_TRUE(line.GetBoolean("RTS Active Low")) << "the other value loads";
    EXPECT_EQ(DamagedValuesReport({&line}),
              c.Report.empty() ? ""
                               : "Line\\Answer End: " + c.Report +
                                     "; its default is used, the stored value kept");
    line.SetBoolean("RTS Active Low", false);
    line.Save();
    const std::string saved = ReadWholeFile(file);
    EXPECT_NE(saved.find("\"Answer End\"=" + c.Stored + "\r\n"), std::string::npos) << saved;
    EXPECT_NE(saved.find("\"RTS Active Low\"=dword:00000000"), std::string::npos) << saved;
  }
}
