#include "record/ReadingsCsv.h"
#include "base/Exception.h"
#include "platform/Locale.h"
#include "tests/record/TestFiles.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#ifndef _WIN32
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace {

const platform::LocalTime Noon{2026, 12, 8, 12, 0, 1, 5, -90};

std::optional<TShownValue> Shown(const std::string& text, char separator) {
  return ReadShown(text, separator);
}

// What the user's locale makes of a reading: separator|value|value.
std::string UnderTheUsersLocale() {
  const char separator = platform::DecimalSeparator();
  return separator + std::string("|") + CsvValue(Shown("-0,25", separator)) + "|" +
         CsvValue(Shown("1.000,5", separator));
}

// Grouped digits are text.
const char* const GermanValues = ",|-0.25|\"1.000,5\"";

} // namespace

TEST(ReadingsCsv, WritesQuotedTextAndNumbersAndStartsANewFileWhenTheColumnsChange) {
  TempDir temp;
  const std::string path = (temp.Path() / "read ings.csv").string();
  TReadingsCsv csv;
  csv.Start(path, {"p.v", "a,b"});
  csv.Row(Noon, {"p.v", "a,b"}, {Shown(" 23,5 ", ','), Shown("say \"hi\",\r\n\xE9", ',')});
  csv.Row(Noon, {"p.v", "a,b"}, {std::nullopt, Shown("1.5.2", ',')});
  csv.Row(Noon, {"p.v"}, {Shown("-1e3", '.')});

  EXPECT_EQ(ReadBytes(path),
            "time,p.v,\"a,b\"\r\n"
            "2026-12-08T12:00:01.005-01:30,23.5,\"say \"\"hi\"\",\r\n\xC3\xA9\"\r\n"
            "2026-12-08T12:00:01.005-01:30,,1.5.2\r\n");
  const std::string next = (temp.Path() / "read ings (new columns 2).csv").string();
  EXPECT_EQ(csv.Path(), next);
  EXPECT_EQ(ReadBytes(next), "time,p.v\r\n2026-12-08T12:00:01.005-01:30,-1e3\r\n");
}

TEST(ReadingsCsv, TextASpreadsheetWouldEvaluateIsMarkedAndNumbersAreFinite) {
  EXPECT_EQ(CsvValue(Shown("=1+2", '.')), "\"'=1+2\"");
  EXPECT_EQ(CsvValue(Shown("\tx", '.')), "\"'\tx\"");
  EXPECT_EQ(CsvValue(Shown("'@x", '.')), "\"''@x\"") << "a reader takes off only the mark";
  EXPECT_EQ(CsvValue(Shown("'x", '.')), "'x");
  EXPECT_EQ(CsvValue(Shown("-1.5", '.')), "-1.5");
  EXPECT_EQ(CsvValue(Shown("+1e999", '.')), "\"'+1e999\"") << "beyond a double: text";
  EXPECT_EQ(CsvValue(Shown("1,5e999", ',')), "\"1,5e999\"");
  EXPECT_EQ(ReadingsHeader({"p.v", "-x"}), "time,p.v,\"'-x\"");
}

#ifdef _WIN32
// The user's locale is the system's: under Wine it follows LC_ALL, which
// this test's own ctest entry sets (tests/record/CMakeLists.txt).
TEST(ReadingsCsv, UnderAGermanLocaleNumbersStillHaveAFullStop) {
  const char* const locale = std::getenv("LC_ALL");
  if (locale == nullptr || std::string(locale) != "de_DE.UTF-8")
    GTEST_SKIP() << "runs under LC_ALL=de_DE.UTF-8";
  EXPECT_EQ(UnderTheUsersLocale(), GermanValues);
}
#else
// The locale is made for the test when the system can make one: machines
// often carry no German locale. It is used in a child process, as the C
// library keeps what it allocates for a private locale folder.
TEST(ReadingsCsv, UnderAGermanLocaleNumbersStillHaveAFullStop) {
  TempDir temp;
  WriteBytes(temp.Path() / "de.src", "LC_NUMERIC\ndecimal_point \"<U002C>\"\n"
                                     "thousands_sep \"<U002E>\"\ngrouping 3;3\nEND LC_NUMERIC\n");
  const std::string make = "localedef -c -i '" + (temp.Path() / "de.src").string() +
                           "' -f UTF-8 '" + (temp.Path() / "de_DE.UTF-8").string() +
                           "' >/dev/null 2>&1";
  static_cast<void>(std::system(make.c_str()));
  int results[2] = {-1, -1};
  ASSERT_EQ(::pipe(results), 0);
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    ::setenv("LOCPATH", temp.Path().c_str(), 1);
    ::setenv("LC_ALL", "de_DE.UTF-8", 1);
    const std::string values = UnderTheUsersLocale();
    static_cast<void>(::write(results[1], values.data(), values.size()));
    ::_exit(0);
  }
  ::close(results[1]);
  std::string values;
  char buffer[256];
  for (ssize_t got; (got = ::read(results[0], buffer, sizeof buffer)) > 0;)
    values.append(buffer, static_cast<std::size_t>(got));
  ::close(results[0]);
  ::waitpid(child, nullptr, 0);
  if (values.empty() || values[0] != ',')
    GTEST_SKIP() << "no German locale could be made";
  EXPECT_EQ(values, GermanValues);
}
#endif

#ifndef _WIN32
TEST(ReadingsCsv, AFileThatCannotBeWrittenStopsTheRecording) {
  TReadingsCsv csv;
  EXPECT_THROW(csv.Start("/dev/full", {"p.v"}), Exception);
  EXPECT_FALSE(csv.Recording());
  EXPECT_NO_THROW(csv.Row(Noon, {"p.v"}, {Shown("1", '.')}));
}
#endif
