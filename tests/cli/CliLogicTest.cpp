// The command-line program's plain logic: what a script relies on without
// an instrument or a broker.
#include "cli/CliOptions.h"
#include "cli/ExitStatus.h"
#include "cli/MqttCredentials.h"
#include "cli/MqttQueue.h"
#include "cli/MqttTopic.h"
#include "cli/OutputSink.h"
#include "cli/PollSchedule.h"
#include "cli/ReadingJson.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <vector>

namespace {

TParsedCommandLine Parse(std::vector<const char*> args) {
  args.insert(args.begin(), "marrowlink-cli");
  return ParseCommandLine(static_cast<int>(args.size()), args.data());
}

} // namespace

TEST(CliOptions, BadInputIsAOneLineUsageError) {
  const std::vector<std::vector<const char*>> bad = {
      {"poll", "COM3", "p.v", "--frobnicate"},
      {"send", "/dev/ttyUSB0", "p.v"},
      {"send", "com3", "p.v"},
      {"send", "COM0", "p.v"},
      {"poll", "COM-1", "p.v"},
      {"poll", "COM3", "p.v", "--every", "0"},
      {"poll", "COM3", "p.v", "--every", "0ms"},
      {"poll", "COM3", "p.v", "--every", "1 s"},
      {"poll", "COM3", "p.v", "--count", "-1"},
      {"poll", "COM3", "p.v", "--count", "0"},
      {"poll", "COM3", "p.v", "--for", "1h", "--count", "3"},
      {"send", "COM3", "p\\x00v"},
      {"poll", "COM3", "p.v", "--mqtt-prefix", "x"},
      {"poll", "COM3", "p.v", "--mqtt", "host:0"},
      {"poll", "COM3", "p.v", "--csv", "-", "--jsonl", "-"},
      {"send", "COM3"},
      {"send", "COM3", "p.v", "--answer-end", "fast"},
      {"poll", "COM3", "p.v", "--influx", "-", "--csv", "-"},
      {"poll", "COM3", "p.v", "--mqtt-discovery"},
      {"poll", "COM3", "p.v", "--mqtt", "h", "--mqtt-discovery-prefix", "ha"},
      {"poll", "COM3", "p.v", "--mqtt", "h", "--mqtt-discovery", "--mqtt-discovery-prefix", "a/#"},
  };
  for (const auto& args : bad) {
    try {
      Parse(args);
      ADD_FAILURE() << "accepted: " << args.back();
    } catch (const TUsageError& e) {
      const std::string message = e.what();
      EXPECT_FALSE(message.empty()) << args.back();
      EXPECT_EQ(message.find_first_of("\r\n"), std::string::npos) << message;
    }
  }
}

TEST(CliOptions, CommandsTakeTheRecordsEscapesAndDurationsTheirUnits) {
  const TParsedCommandLine parsed =
      Parse({"poll", "COM03", "p.v", "a\\tb\\xFF", "--every", "250ms", "--for", "8h",
             "--answer-end", "line", "--mqtt", "h:1884", "--mqtt-discovery"});
  ASSERT_TRUE(parsed.Options);
  const TCliOptions& options = *parsed.Options;
  EXPECT_EQ(options.Command, TCliCommand::Poll);
  EXPECT_EQ(options.Commands, (std::vector<std::string>{"p.v", "a\tb\xFF"}));
  EXPECT_EQ(options.EveryMs, 250u);
  EXPECT_EQ(options.ForMs, 8u * 3600 * 1000);
  ASSERT_TRUE(options.Mqtt);
  EXPECT_EQ(options.Mqtt->Host, "h");
  EXPECT_EQ(options.Mqtt->Port, 1884);
  EXPECT_TRUE(options.Mqtt->Discovery);
  EXPECT_EQ(options.Mqtt->DiscoveryPrefix, "homeassistant");
  EXPECT_EQ(options.AnswerEnd, TAnswerEnd::Line);
  EXPECT_EQ(Parse({"send", "COM1", "p.v"}).Options->AnswerEnd, std::nullopt) << "the setting's";
  EXPECT_FALSE(Parse({"poll", "--help"}).Help.empty());
  EXPECT_TRUE(Parse({"send", "COM3", "p.v", "--no-session"}).Options->NoSession);
}

TEST(PollSchedule, RoundsKeepTheBeatUnlessOneOutlastsIt) {
  TPollSchedule schedule(1000, 0xFFFFFF00u); // across the counter's wrap
  std::uint32_t now = 0xFFFFFF00u;
  EXPECT_EQ(schedule.WaitMs(now), 0u);
  schedule.RoundStarted(now);
  now += 450; // a short round waits for the beat
  EXPECT_EQ(schedule.WaitMs(now), 550u);
  now += 550;
  schedule.RoundStarted(now);
  now += 1500; // outlasts one period: the next starts at once, on the old beat
  EXPECT_EQ(schedule.WaitMs(now), 0u);
  schedule.RoundStarted(now);
  EXPECT_EQ(schedule.WaitMs(now + 100), 400u);
  now += 500;
  schedule.RoundStarted(now);
  now += 2500; // outlasts two: one round at once, then a beat from there
  EXPECT_EQ(schedule.WaitMs(now), 0u);
  schedule.RoundStarted(now);
  EXPECT_EQ(schedule.WaitMs(now), 1000u);
}

TEST(MqttQueue, BeyondTheBoundTheOldestWaitingAreDroppedAndCounted) {
  TMqttQueue queue(4);
  for (int i = 0; i < 3; ++i)
    queue.Push({"t", std::to_string(i)});
  ASSERT_TRUE(queue.NextToHand(2));
  queue.Handed(10);
  queue.Handed(11);
  EXPECT_FALSE(queue.NextToHand(2)) << "the window is full";
  for (int i = 3; i < 6; ++i)
    queue.Push({"t", std::to_string(i)});
  // In flight 0 and 1 stay with the library; 2 and 3 made room for 4 and 5.
  EXPECT_EQ(queue.Size(), 4u);
  EXPECT_EQ(queue.Dropped(), 2u);
  EXPECT_EQ(queue.Front().Payload, "4");
  queue.Acknowledged(11); // acknowledgements may come in any order
  queue.Acknowledged(99);
  EXPECT_EQ(queue.InFlightCount(), 1u);
  EXPECT_TRUE(queue.NextToHand(2));
  queue.Reconnected();
  EXPECT_FALSE(queue.NextToHand(2)) << "0, sent again, goes first";
  queue.Acknowledged(10);
  EXPECT_TRUE(queue.NextToHand(2));
  queue.Reconnected();
  EXPECT_TRUE(queue.NextToHand(2)) << "nothing to send again";
}

TEST(MqttCredentials, KeysAreReadAndAnythingElseIsRefused) {
  const TMqttCredentials credentials = ParseMqttCredentials(
      "# station 7\n\nclient-id = st7\r\nusername=logger\npassword = a = b \n", "f");
  EXPECT_EQ(credentials.ClientId, "st7");
  EXPECT_EQ(credentials.Username, "logger");
  EXPECT_EQ(credentials.Password, "a = b");
  EXPECT_THROW(ParseMqttCredentials("user = x\n", "f"), Exception);
  EXPECT_THROW(ParseMqttCredentials("password = x\n", "f"), Exception);
}

TEST(ReadingJson, ValuesAreJsonNumbersWhenTheyReadAsOneAndTextOtherwise) {
  TReading reading;
  reading.Command = "p.v";
  reading.Started.Year = 2026;
  const auto value = [&](const std::string& answer, char separator = '.') {
    reading.Answer = answer;
    reading.Shown = ShownOf(answer, reading.Command, separator);
    const std::string json = ReadingJson(reading);
    const std::size_t at = json.find("\"value\":") + 8;
    return json.substr(at, json.find(",\"raw\"") - at);
  };
  EXPECT_EQ(value("p.v 007\r\n"), "7");
  EXPECT_EQ(value("p.v +23.50\r\n"), "23.5");
  EXPECT_EQ(value("p.v .5"), "0.5");
  EXPECT_EQ(value("p.v 1,5", ','), "1.5");
  EXPECT_EQ(value("p.v 1e999"), "\"1e999\"");
  EXPECT_EQ(value("p.v \"hi\"\\\xB0"), "\"\\\"hi\\\"\\\\\xC2\xB0\"");
  EXPECT_EQ(value(""), "null");
  reading.Answer = "p.v 1\r\n";
  EXPECT_NE(ReadingJson(reading).find("\"raw\":\"p.v 1\\\\r\\\\n\"}"), std::string::npos);
}

TEST(MqttTopic, ACommandIsOneLevelWithoutWildcards) {
  EXPECT_EQ(ReadingTopic("marrowlink/st7", "COM3", "p.v"), "marrowlink/st7/COM3/p.v");
  EXPECT_EQ(ReadingTopic("p", "COM3", "a/b+#%\x01"), "p/COM3/a%2Fb%2B%23%25%01");
}

// "-" is standard output, never a file of that name in the working folder.
TEST(OutputSink, StandardOutputGetsTheHeaderWhateverFileIsNamedDash) {
  TempDir dir;
  const std::filesystem::path before = std::filesystem::current_path();
  std::filesystem::current_path(dir.Path());
  std::ofstream("-", std::ios::binary) << "time,other\r\n";
  testing::internal::CaptureStdout();
  std::string written;
  try {
    const TOutputSink header("-", {"p.v"});
    written = testing::internal::GetCapturedStdout();
  } catch (const std::exception& e) {
    written = testing::internal::GetCapturedStdout() + e.what();
  }
  std::filesystem::current_path(before);
  EXPECT_EQ(written, "time,p.v\r\n");
}
