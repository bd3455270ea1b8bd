#include "record/ReadingsCsv.h"
#include "base/Exception.h"
#include "platform/Locale.h"
#include "tests/record/TestFiles.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

const platform::LocalTime Noon{2026, 12, 8, 12, 0, 1, 5, -90};

} // namespace

TEST(ReadingsCsv, WritesQuotedTextAndNumbersAndStartsANewFileWhenTheColumnsChange) {
  TempDir temp;
  const std::string path = (temp.Path() / "read ings.csv").string();
  TReadingsCsv csv;
  csv.Start(path, {"p.v", "a,b"});
  csv.Row(Noon, {"p.v", "a,b"}, {" 23,5 ", "say \"hi\",\r\n\xE9"}, ',');
  csv.Row(Noon, {"p.v", "a,b"}, {std::nullopt, "1.5.2"}, ',');
  csv.Row(Noon, {"p.v"}, {"-1e3"}, '.');

  EXPECT_EQ(ReadBytes(path),
            "time,p.v,\"a,b\"\r\n"
            "2026-12-08T12:00:01.005-01:30,23.5,\"say \"\"hi\"\",\r\n\xC3\xA9\"\r\n"
            "2026-12-08T12:00:01.005-01:30,,1.5.2\r\n");
  const std::string next = (temp.Path() / "read ings (new columns 2).csv").string();
  EXPECT_EQ(csv.Path(), next);
  EXPECT_EQ(ReadBytes(next), "time,p.v\r\n2026-12-08T12:00:01.005-01:30,-1e3\r\n");
}

// The locale is made for the test when the system can make one: machines
// often carry no German locale.
TEST(ReadingsCsv, UnderAGermanLocaleNumbersStillHaveAFullStop) {
#ifdef _WIN32
  GTEST_SKIP() << "the locale comes from the user's settings";
#else
  TempDir temp;
  WriteBytes(temp.Path() / "de.src", "LC_NUMERIC\ndecimal_point \"<U002C>\"\n"
                                     "thousands_sep \"<U002E>\"\ngrouping 3;3\nEND LC_NUMERIC\n");
  const std::string make = "localedef -c -i '" + (temp.Path() / "de.src").string() +
                           "' -f UTF-8 '" + (temp.Path() / "de_DE.UTF-8").string() +
                           "' >/dev/null 2>&1";
  static_cast<void>(std::system(make.c_str()));
  ::setenv("LOCPATH", temp.Path().c_str(), 1);
  ::setenv("LC_ALL", "de_DE.UTF-8", 1);
  const char separator = platform::DecimalSeparator();
  ::unsetenv("LC_ALL");
  ::unsetenv("LOCPATH");
  if (separator != ',')
    GTEST_SKIP() << "no German locale could be made";
  EXPECT_EQ(CsvValue("-0,25", separator), "-0.25");
  EXPECT_EQ(CsvValue("1.000,5", separator), "\"1.000,5\"") << "grouped digits are text";
#endif
}

#ifndef _WIN32
TEST(ReadingsCsv, AFileThatCannotBeWrittenStopsTheRecording) {
  TReadingsCsv csv;
  EXPECT_THROW(csv.Start("/dev/full", {"p.v"}), Exception);
  EXPECT_FALSE(csv.Recording());
  EXPECT_NO_THROW(csv.Row(Noon, {"p.v"}, {"1"}, '.'));
}
#endif
