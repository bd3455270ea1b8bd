// The one road of an exchange on a line that records every call: what goes
// out, the reading made of what came back, the record's lines in their
// order, a lost device and a record that cannot be written.
#include "line/InstrumentLine.h"

#include "line/ExchangeTrace.h"
#include "serial/DeviceLost.h"
#include "tests/serial/RecordingLine.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <sstream>

namespace {

const std::string Path = "\\\\.\\COM5";

std::string FileText(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// A record of one fixed day in folder, so its file is known.
std::unique_ptr<TSessionRecord> DayRecord(const std::filesystem::path& folder) {
  platform::LocalTime day;
  day.Year = 2026;
  return std::make_unique<TSessionRecord>(folder.string(), [day] { return day; });
}

// The record's lines without their times.
std::string Lines(const std::filesystem::path& folder) {
  std::istringstream text(FileText(folder / "2026-01-01.log"));
  std::string lines;
  for (std::string line; std::getline(text, line);)
    lines += line.substr(line.find('\t') + 1) + '\n';
  return lines;
}

} // namespace

TEST(InstrumentLine, EachExchangeSendsItsCommandOnceAndIsReadOnce) {
  RecordingLine& wire = RecordingLine::Reset(1000);
  TempDir dir;
  TInstrumentLine line(DayRecord(dir.Path()), {}, ',');
  line.Open("COM5", Path, false);
  ASSERT_TRUE(line.IsOpen());

  wire.Calls.clear();
  wire.Arrivals = {"p.v 23,5\r\n"};
  const std::uint32_t start = wire.Now;
  const TReading reading = line.Exchange("p.v");
  EXPECT_EQ(wire.Calls[1].Data, "p.v\r\n");
  EXPECT_EQ(reading.Command, "p.v");
  EXPECT_EQ(reading.Port, "COM5");
  EXPECT_EQ(reading.Answer, "p.v 23,5\r\n");
  ASSERT_TRUE(reading.Shown);
  EXPECT_EQ(reading.Shown->Text, "23,5");
  EXPECT_EQ(reading.Number(), 23.5);
  EXPECT_EQ(reading.Shown->Number->Digits, "23.5");
  EXPECT_EQ(reading.Ms, wire.Now - start) << "timed on the line's own clock";

  // The next command goes out as given, not behind the last one's line end.
  wire.Calls.clear();
  const TReading silent = line.Exchange("s.p");
  EXPECT_EQ(wire.Calls[1].Data, "s.p\r\n");
  EXPECT_FALSE(silent.Answered());
  EXPECT_FALSE(silent.Shown);
  EXPECT_FALSE(silent.Number());

  line.Close();
  EXPECT_EQ(Lines(dir.Path()), "COM5\topen\nCOM5\texchange\tp.v\tp.v 23,5\\r\\n\t" +
                                   std::to_string(reading.Ms) + "\nCOM5\texchange\ts.p\t\t" +
                                   std::to_string(silent.Ms) + "\nCOM5\tclose\n");
  EXPECT_EQ(line.Port(), "");
}

// The owner hears of the loss at once; what it records of the error comes
// before the close, which the line records however it ends.
TEST(InstrumentLine, ALostDeviceTakesNoMoreExchangesAndItsCloseFollowsItsError) {
  RecordingLine& wire = RecordingLine::Reset(1000);
  TempDir dir;
  std::vector<std::string> traced;
  TExchangeTrace trace([&](const std::string& line) { traced.push_back(line); });
  {
    TInstrumentLine line(DayRecord(dir.Path()),
                         {{}, [&] { line.Event(SessionKind::Playback, {"ended"}); }});
    line.Open("COM5", Path, false);
    line.SetTrace(&trace);

    wire.Failures["write"] = GoneCode;
    EXPECT_THROW(line.Exchange("p.v"), TDeviceLost);
    EXPECT_FALSE(line.IsOpen());
    ASSERT_EQ(traced.size(), 1u) << "a failed exchange is traced too";
    EXPECT_TRUE(traced[0].starts_with("trace COM5 p.v (ms from RTS up):")) << traced[0];

    wire.Calls.clear();
    EXPECT_TRUE(line.Exchange("p.v").Lost);
    EXPECT_TRUE(wire.Calls.empty()) << wire.Kinds();
    line.Event(SessionKind::Error, {"gone"});
  }
  EXPECT_EQ(Lines(dir.Path()),
            "COM5\topen\nCOM5\tplayback\tended\nCOM5\terror\tgone\nCOM5\tclose\n");
}

TEST(InstrumentLine, ARecordThatCannotBeWrittenIsToldOnceAndExchangesGoOn) {
  RecordingLine& wire = RecordingLine::Reset(1000);
  TempDir dir;
  std::ofstream(dir.Path() / "plain file") << "x";
  std::vector<std::string> failures;
  TInstrumentLine line(DayRecord(dir.Path() / "plain file" / "sessions"),
                       {[&](const std::string& message) { failures.push_back(message); }, {}});
  line.Open("COM5", Path, false);
  wire.Arrivals = {"p.v 1\r\n"};
  EXPECT_EQ(line.Exchange("p.v").Number(), 1.0);
  line.Exchange("p.v");
  line.Close();
  ASSERT_EQ(failures.size(), 1u);
  EXPECT_TRUE(failures[0].starts_with("Session recording stopped")) << failures[0];
  EXPECT_FALSE(line.Record().Enabled());
}
