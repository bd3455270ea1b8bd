// The window's settings as the command-line program reads them: never
// written, moved or replaced, whatever they hold.
#include "cli/Defaults.h"
#include "tests/support/SettingsTestSupport.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

namespace {

const std::string Recording =
    "[HKEY_CURRENT_USER\\Software\\Tavrin\\Private\\Marrowlink\\Recording]\r\n";
const std::string Line = "[HKEY_CURRENT_USER\\Software\\Tavrin\\Private\\Marrowlink\\Line]\r\n";

std::vector<std::string> FileNames(const std::filesystem::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder))
    names.push_back(entry.path().filename().string());
  return names;
}

} // namespace

TEST(CliDefaults, WhatCannotBeReadKeepsItsDefaultIsSaidOnceAndTheFileStaysAsItIs) {
  ScopedConfigHome home;
  const auto file = home.AppDir() / "user.reg";
  const std::string unparsed = "REGEDIT4\r\n\r\n" + Recording +
                               "\"Keep Days\"=dword:0000001e\r\n"
                               "\"Folder\"=\"no end\r\n";
  WriteWholeFile(file, unparsed);
  TDefaults defaults = ReadDefaults();
  EXPECT_EQ(ReadWholeFile(file), unparsed);
  EXPECT_EQ(FileNames(home.AppDir()), std::vector<std::string>{"user.reg"});
  EXPECT_EQ(defaults.KeepDays, 90);
  EXPECT_TRUE(defaults.Warning.starts_with("The settings file \"" + file.string() +
                                           "\" cannot be read: line 5: ") &&
              defaults.Warning.ends_with("; the defaults are used and the file is left as it is") &&
              defaults.Warning.find("The settings file", 1) == std::string::npos)
      << defaults.Warning;

  const std::string damaged = "REGEDIT4\r\n\r\n" + Recording +
                              "\"Keep Days\"=\"30\"\r\n"
                              "\"Session Log\"=dword:00000000\r\n\r\n" +
                              Line +
                              "\"RTS Active Low\"=\"yes\"\r\n\"Answer End\"=dword:00000001\r\n";
  WriteWholeFile(file, damaged);
  defaults = ReadDefaults();
  EXPECT_EQ(ReadWholeFile(file), damaged);
  EXPECT_EQ(defaults.KeepDays, 90);
  EXPECT_FALSE(defaults.SessionLog) << "what can be read is used";
  EXPECT_EQ(defaults.AnswerEnd, TAnswerEnd::Line);
  EXPECT_EQ(defaults.Warning, "Recording\\Keep Days: a string where a dword belongs; its default "
                              "is used, the stored value kept\r\n"
                              "Line\\RTS Active Low: a string where a dword belongs; its default "
                              "is used, the stored value kept");
}
