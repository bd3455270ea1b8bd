#include "watch/ReadingsFile.h"

#include "base/Exception.h"
#include "record/ReadingsCsv.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <fstream>

namespace {

void Write(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

// The message the file raises, or "" when it reads.
std::string RefusalOf(const std::string& path) {
  try {
    ReadReadingsFile(path);
  } catch (const Exception& error) {
    return error.what();
  }
  return {};
}

} // namespace

TEST(ReadingsFile, ReadsBackWhatTheRecorderWritesWithQuotedFieldsAndGaps) {
  TempDir temp;
  const std::string path = (temp.Path() / "run.csv").string();
  const platform::LocalTime first{2026, 12, 8, 14, 3, 7, 250, 60};
  platform::LocalTime second = first;
  second.Second = 8;
  TReadingsCsv csv;
  csv.Start(path, {"p.v", "a,\"b\""});
  csv.Row(first, {"p.v", "a,\"b\""},
          {ReadShown("23,5", ','), ReadShown("say \"hi\",\r\nthere", ',')});
  csv.Row(second, {"p.v", "a,\"b\""}, {std::nullopt, ReadShown("-1e3", '.')});
  csv.Stop();

  const std::vector<TReadingsColumn> columns = ReadReadingsFile(path);
  ASSERT_EQ(columns.size(), 2u);
  EXPECT_EQ(columns[0].Name, "p.v");
  EXPECT_EQ(columns[1].Name, "a,\"b\"");
  const std::int64_t at = 1'796'734'987'250; // 13:03:07.250 UTC
  ASSERT_EQ(columns[0].Points.size(), 2u);
  EXPECT_EQ(columns[0].Points[0].TimeMs, at);
  EXPECT_EQ(columns[0].Points[0].Value, 23.5);
  EXPECT_EQ(columns[0].Points[1].TimeMs, at + 1000);
  EXPECT_TRUE(IsGap(columns[0].Points[1]));
  ASSERT_EQ(columns[1].Points.size(), 2u);
  EXPECT_TRUE(IsGap(columns[1].Points[0]));
  EXPECT_EQ(columns[1].Points[1].Value, -1000);
}

TEST(ReadingsFile, TheRecordersMarkIsTakenOffAndUnmarkedOlderFilesReadAsThey) {
  TempDir temp;
  const std::string path = (temp.Path() / "marked.csv").string();
  const std::vector<std::string> commands = {"=a", "''+b", "'c,d", "@"};
  TReadingsCsv csv;
  csv.Start(path, commands);
  csv.Row({2026, 12, 8, 14, 3, 7, 250, 60}, commands,
          {ReadShown("-1", '.'), ReadShown("=2", '.'), ReadShown("'@", '.'), ReadShown("@", '.')});
  csv.Stop();
  const std::vector<TReadingsColumn> columns = ReadReadingsFile(path);
  ASSERT_EQ(columns.size(), commands.size());
  for (std::size_t i = 0; i < commands.size(); ++i)
    EXPECT_EQ(columns[i].Name, commands[i]);
  EXPECT_EQ(columns[0].Points[0].Value, -1);
  EXPECT_TRUE(IsGap(columns[1].Points[0]));

  Write(path, "time,-x,'=y\r\n");
  EXPECT_EQ(ReadReadingsFile(path)[0].Name, "-x");
  EXPECT_EQ(ReadReadingsFile(path)[1].Name, "'=y");
}

TEST(ReadingsFile, RefusesWhatIsNotAReadingsFileNamingIt) {
  TempDir temp;
  const std::string path = (temp.Path() / "other.csv").string();
  const std::string good = "time,p.v\r\n2026-12-08T14:03:07.250+01:00,1\r\n";
  const std::pair<std::string, std::string> cases[] = {
      {"", "line 1: it does not start with the header \"time,...\"."},
      {"name,p.v\r\n", "line 1: it does not start with the header \"time,...\"."},
      {"\"time\",p.v\r\n", "line 1: it does not start with the header \"time,...\"."},
      {good + "2026-12-08T14:03:08.250+01:00,1,2\r\n",
       "line 3: the row's field count is 3, the header's is 2."},
      {good + "\r\n", "line 3: the row's field count is 1, the header's is 2."},
      {good + "2026-02-30T14:03:08.250+01:00,1\r\n",
       "line 3: \"2026-02-30T14:03:08.250+01:00\" is not a time."},
      {"time,\"a\r\nb\"\r\n14:03,1\r\n", "line 3: \"14:03\" is not a time."},
      {good + "2026-12-08T14:03:08.250+01:00,\"open\r\n",
       "line 3: a quoted field has no closing quote."},
      {good + "2026-12-08T14:03:08.250+01:00,\"a\"b\r\n",
       "line 3: a quoted field is followed by more text."},
  };
  for (const auto& [text, why] : cases) {
    Write(path, text);
    EXPECT_EQ(RefusalOf(path), path + " is not a readings file: " + why) << text;
  }
  const std::string missing = (temp.Path() / "missing.csv").string();
  EXPECT_EQ(RefusalOf(missing), "Could not read " + missing + ": File not found");
}
