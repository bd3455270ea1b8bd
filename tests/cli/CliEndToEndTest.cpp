// marrowlink-cli as a script runs it, against the simulated instrument and
// a real broker.
#include "tests/cli/Broker.h"
#include "tests/cli/CliProcess.h"
#ifdef INFLUXD
#include "tests/cli/Influxd.h"
#endif
#include "tests/cli/StandInBroker.h"
#include "tests/support/SimProcess.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <fstream>
#include <sstream>
#include <sys/stat.h>

namespace {

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream stream(text);
  for (std::string line; std::getline(stream, line);)
    lines.push_back(line);
  return lines;
}

std::size_t Count(const std::string& text, const std::string& part) {
  std::size_t count = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
    ++count;
  return count;
}

class CliTest : public ::testing::Test {
protected:
  ScopedConfigHome Home;
  TempDir Work;

  std::filesystem::path Data() const { return Work.Path() / "data"; }
  std::string SessionText() const {
    std::string text;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(Data()))
      if (entry.path().extension() == ".log")
        text += FileText(entry.path());
    return text;
  }

  std::unique_ptr<ChildProcess> Start(const std::string& name, std::vector<std::string> args,
                                      std::map<std::string, std::string> env = {}) {
    args.insert(args.begin(), MARROWLINK_CLI_PATH);
    env.emplace("XDG_CONFIG_HOME", Home.Path().string());
    env.emplace("XDG_DATA_HOME", Data().string());
    return std::make_unique<ChildProcess>(name, args, Work.Path(), env);
  }
};

} // namespace

TEST_F(CliTest, APollsCsvReadsBackInAnIndependentReader) {
  // Random bytes for answers: commas, quotes, line breaks, bytes above 127.
  SimProcess sim({"--garbage"});
  const std::string csv = (Work.Path() / "readings 1.csv").string();
  const std::string jsonl = (Work.Path() / "readings.jsonl").string();
  const std::vector<std::string> commands = {"p.v", "x,\"y", "F0"};
  std::vector<std::string> args = {"poll", sim.PortName()};
  args.insert(args.end(), commands.begin(), commands.end());
  args.insert(args.end(), {"--count", "3", "--every", "100ms", "--csv", csv, "--jsonl", jsonl});
  auto cli = Start("poll", args);
  ASSERT_EQ(cli->Wait(), 0) << cli->Err();

  std::vector<std::string> reader = {PYTHON3, READ_BACK_SCRIPT, csv, jsonl};
  reader.insert(reader.end(), commands.begin(), commands.end());
  ChildProcess python("reader", reader, Work.Path());
  EXPECT_EQ(python.Wait(), 0) << python.Err();
  EXPECT_EQ(python.Out(), "ok 3\n");
  EXPECT_EQ(Count(SessionText(), "\texchange\t"), 9u);
}

TEST_F(CliTest, ABrokerRestartedMidPollGetsEveryReadingInOrder) {
  SimProcess sim;
  Broker broker(Work.Path() / "broker");
  const std::string topic = "marrowlink/test/" + sim.PortName() + "/p.v";
  ChildProcess subscriber("sub",
                          {MOSQUITTO_SUB, "-h", "127.0.0.1", "-p", std::to_string(broker.Port()),
                           "-c", "-i", "cli-test-sub", "-q", "1", "-t", topic},
                          Work.Path());
  const std::string jsonl = (Work.Path() / "sent.jsonl").string();
  auto cli =
      Start("poll", {"poll", sim.PortName(), "p.v", "--count", "14", "--every", "250ms", "--jsonl",
                     jsonl, "--mqtt", broker.Address(), "--mqtt-prefix", "marrowlink/test"});
  ASSERT_TRUE(WaitFor([&] { return Lines(subscriber.Out()).size() >= 3; }, 10000));
  broker.Stop();
  ASSERT_TRUE(WaitFor([&] { return Lines(FileText(jsonl)).size() >= 8; }, 10000));
  broker.Start();
  ASSERT_EQ(cli->Wait(), 0) << cli->Err();

  const std::vector<std::string> sent = Lines(FileText(jsonl));
  ASSERT_EQ(sent.size(), 14u);
  ASSERT_TRUE(WaitFor([&] { return Lines(subscriber.Out()).size() >= sent.size(); }, 20000))
      << subscriber.Out();
  // At least once, in order: a reading may come twice after the reconnect.
  std::vector<std::string> received;
  for (const std::string& line : Lines(subscriber.Out())) {
    if (std::find(received.begin(), received.end(), line) == received.end())
      received.push_back(line);
  }
  ASSERT_EQ(received.size(), sent.size()) << subscriber.Out();
  for (std::size_t i = 0; i < sent.size(); ++i) {
    // The JSON Lines reading carries port and command before the payload's keys.
    EXPECT_NE(sent[i].find(received[i].substr(1)), std::string::npos) << i;
  }
  const std::string err = cli->Err();
  EXPECT_EQ(Count(err, "went away"), 1u) << err;
  EXPECT_EQ(Count(err, "connected again"), 1u) << err;
}

TEST_F(CliTest, SigtermMidExchangeLeavesWholeOutputs) {
  SimProcess sim({"--steady", "--delay", "100"});
  const std::filesystem::path csv = Work.Path() / "r.csv";
  auto cli = Start(
      "poll", {"poll", sim.PortName(), "p.v", "s.p", "--every", "100ms", "--csv", csv.string()});
  ASSERT_TRUE(WaitFor([&] { return Lines(FileText(csv)).size() >= 2; }, 10000));
  // The next round began at once; this lands in its first exchange.
  WaitFor([] { return false; }, 200);
  cli->Signal(SIGTERM);
  ASSERT_EQ(cli->Wait(10000), 0) << cli->Err();
  EXPECT_EQ(cli->Err(), "");

  const std::string text = FileText(csv);
  ASSERT_TRUE(text.ends_with("\r\n")) << text;
  for (const std::string& line : Lines(text))
    EXPECT_EQ(Count(line, ","), 2u) << line;
  EXPECT_EQ(text.rfind("23.5,25.0\r\n"), text.size() - 11) << text;
  EXPECT_TRUE(Lines(SessionText()).back().ends_with("\tclose")) << SessionText();
}

TEST_F(CliTest, TheAdapterVanishingIsSaidOnceAndThePortReopensWhenItIsBack) {
  auto sim =
      std::make_unique<SimProcess>(std::vector<std::string>{"--steady", "--hangup-after", "3"});
  const std::string port = sim->PortName();
  const std::filesystem::path csv = Work.Path() / "r.csv";
  auto cli = Start(
      "poll", {"poll", port, "p.v", "--count", "14", "--every", "200ms", "--csv", csv.string()});
  ASSERT_TRUE(sim->WaitForExit(10000));
  ASSERT_TRUE(WaitFor([&] { return Lines(FileText(csv)).size() >= 6; }, 10000));
  sim =
      std::make_unique<SimProcess>(std::vector<std::string>{"--steady", "--port", port.substr(3)});
  ASSERT_EQ(cli->Wait(), 1) << "some rounds went unanswered";

  const std::vector<std::string> rows = Lines(FileText(csv));
  ASSERT_EQ(rows.size(), 15u);
  EXPECT_TRUE(rows[1].ends_with(",23.5\r"));
  EXPECT_TRUE(rows[4].ends_with(",\r")) << "the lost adapter's rows are empty";
  EXPECT_TRUE(rows.back().ends_with(",23.5\r")) << "read again after the reopen";
  const std::string err = cli->Err();
  EXPECT_EQ(Count(err, "the device is not connected"), 1u) << err;
  EXPECT_EQ(Count(err, port + " is back"), 1u) << err;
  const std::string session = SessionText();
  EXPECT_EQ(Count(session, "\terror\t"), 1u) << session;
  EXPECT_EQ(Count(session, "\topen"), 2u) << session;
  EXPECT_EQ(Count(session, "\tclose"), 2u) << "closed when lost and at the end: " << session;
}

TEST_F(CliTest, ExitStatusesAreWhatAScriptIsPromised) {
  const std::filesystem::path wire = Work.Path() / "wire";
  {
    SimProcess sim({"--steady", "--record", wire.string()});
    // Without the window the records stay within their days all the same.
    const std::filesystem::path sessions = Data() / "marrowlink" / "sessions";
    std::filesystem::create_directories(sessions);
    std::ofstream(sessions / "2020-01-01.log") << "old\n";
    // Old by the newest earlier record's date too, as it must be to go.
    std::ofstream(sessions / "2020-06-01.log") << "later\n";
    auto answered = Start("answered", {"send", sim.PortName(), "p.v", "s.p"});
    EXPECT_EQ(answered->Wait(), 0);
    EXPECT_EQ(answered->Out(), "p.v 23.5\\r\\n\ns.p 25.0\\r\\n\n");
    EXPECT_FALSE(std::filesystem::exists(sessions / "2020-01-01.log"));
    auto silent = Start("silent", {"send", sim.PortName(), "p.v", "nope", "--value"});
    EXPECT_EQ(silent->Wait(), 1);
    EXPECT_EQ(silent->Out(), "23.5\n\n");

    auto usage = Start("usage", {"send", sim.PortName(), "p.v", "--every", "1s"});
    EXPECT_EQ(usage->Wait(), 2);
    EXPECT_EQ(Lines(usage->Err()).size(), 1u) << usage->Err();
    auto full = Start("full", {"poll", sim.PortName(), "p.v", "--csv", "/dev/full"});
    EXPECT_EQ(full->Wait(), 5);
    EXPECT_NE(full->Err().find("/dev/full"), std::string::npos) << full->Err();

    // A restarted poll continues its CSV; another poll's columns are refused.
    const std::string csv = (Work.Path() / "kept.csv").string();
    for (const char* name : {"first", "restarted"})
      EXPECT_EQ(Start(name, {"poll", sim.PortName(), "p.v", "--count", "1", "--csv", csv})->Wait(),
                0);
    auto other = Start("other", {"poll", sim.PortName(), "s.p", "--csv", csv});
    EXPECT_EQ(other->Wait(), 5);
    const std::vector<std::string> kept = Lines(FileText(csv));
    ASSERT_EQ(kept.size(), 3u);
    EXPECT_EQ(kept[0], "time,p.v\r");

    // Credentials others may read are refused before anything is sent.
    const std::filesystem::path secrets = Work.Path() / "secrets";
    std::ofstream(secrets) << "username = u\npassword = p\n";
    ::chmod(secrets.c_str(), 0644);
    auto exposed = Start("exposed", {"poll", sim.PortName(), "p.v", "--mqtt", "127.0.0.1:1",
                                     "--mqtt-credentials", secrets.string()});
    EXPECT_EQ(exposed->Wait(), 2);
    EXPECT_NE(exposed->Err().find("readable by other users"), std::string::npos);
    // Readings that never reached the broker are an output not written.
    auto unpublished =
        Start("unpublished", {"poll", sim.PortName(), "p.v", "--count", "1", "--mqtt",
                              "127.0.0.1:" + std::to_string(FreeTcpPort())});
    EXPECT_EQ(unpublished->Wait(), 5);
    EXPECT_NE(unpublished->Err().find("1 readings were not taken"), std::string::npos)
        << unpublished->Err();

    // A session record that cannot be written: one warning, same status.
    std::ofstream(Work.Path() / "not-a-folder") << "x";
    auto unrecorded = Start("unrecorded", {"send", sim.PortName(), "p.v", "p.v"},
                            {{"XDG_DATA_HOME", (Work.Path() / "not-a-folder").string()}});
    EXPECT_EQ(unrecorded->Wait(), 0);
    EXPECT_EQ(Lines(unrecorded->Err()).size(), 2u) << unrecorded->Err(); // message and reason
  }
  EXPECT_EQ(FileText(wire), "p.v\r\ns.p\r\np.v\r\nnope\r\np.v\r\np.v\r\np.v\r\np.v\r\np.v\r\n")
      << "the usage errors, the unwritable outputs and the refused credentials sent nothing";

  auto absent = Start("absent", {"send", "COM250", "p.v"});
  EXPECT_EQ(absent->Wait(), 3);
  EXPECT_NE(absent->Err().find("COM250 is not available"), std::string::npos);
  SimProcess vanishing({"--steady", "--hangup-after", "2"});
  auto gone = Start("gone", {"send", vanishing.PortName(), "p.v", "p.v", "p.v"});
  EXPECT_EQ(gone->Wait(), 4);
  EXPECT_EQ(gone->Out(), "p.v 23.5\\r\\n\n");
  EXPECT_NE(gone->Err().find("the device is not connected"), std::string::npos) << gone->Err();
  // The refused outputs and the lost adapter closed what they opened.
  const std::string session = SessionText();
  EXPECT_EQ(Count(session, "\topen\n"), Count(session, "\tclose\n")) << session;
}

TEST_F(CliTest, ReadingsTheBrokerDroppedUnacknowledgedGoOutBeforeNewerOnes) {
  SimProcess sim;
  StandInBroker broker(2);
  const std::string jsonl = (Work.Path() / "sent.jsonl").string();
  auto cli = Start("poll", {"poll", sim.PortName(), "p.v", "--count", "8", "--every", "100ms",
                            "--jsonl", jsonl, "--mqtt", broker.Address(), "--mqtt-prefix", "t"});
  ASSERT_EQ(cli->Wait(), 0) << cli->Err();
  EXPECT_GE(broker.Connections(), 2);

  const std::vector<std::string> sent = Lines(FileText(jsonl));
  std::vector<std::size_t> order; // what the broker took, as places among the readings sent
  std::string shown;
  for (const std::string& payload : broker.Acknowledged()) {
    const auto at = std::find_if(sent.begin(), sent.end(), [&](const std::string& line) {
      return line.find(payload.substr(1)) != std::string::npos;
    });
    order.push_back(static_cast<std::size_t>(at - sent.begin()));
    shown += std::to_string(order.back()) + " ";
  }
  // A reading may come twice, never after a newer one.
  EXPECT_TRUE(std::is_sorted(order.begin(), order.end())) << shown;
  order.erase(std::unique(order.begin(), order.end()), order.end());
  EXPECT_EQ(order.size(), sent.size()) << shown;
  EXPECT_EQ(order.back(), sent.size() - 1) << shown;
}

TEST_F(CliTest, SigintDuringSendEndsItAfterTheExchangeUnderWay) {
  const std::filesystem::path wire = Work.Path() / "wire";
  SimProcess sim({"--steady", "--record", wire.string()});
  std::size_t printed = 0;
  for (const auto& [first, status] : {std::pair{"p.v", 0}, std::pair{"nope", 1}}) {
    std::vector<std::string> args = {"send", sim.PortName(), first};
    args.insert(args.end(), 9, "p.v");
    auto cli = Start(first, args);
    ASSERT_TRUE(WaitFor([&] { return !cli->Out().empty(); }, 10000));
    cli->Signal(SIGINT);
    EXPECT_EQ(cli->Wait(10000), status) << first;
    const std::string out = cli->Out();
    EXPECT_LT(Lines(out).size(), 10u) << out;
    EXPECT_TRUE(out.ends_with("\n")) << out;
    printed += Lines(out).size();
  }
  EXPECT_EQ(Count(FileText(wire), "\r\n"), printed) << "every exchange begun was answered whole";
  EXPECT_EQ(Count(SessionText(), "\tclose\n"), 2u) << SessionText();
}

TEST_F(CliTest, ARestartedPollContinuesACsvWhoseHeaderHoldsALineBreakAndAMark) {
  SimProcess sim;
  const std::string csv = (Work.Path() / "kept.csv").string();
  for (const char* name : {"first", "restarted"}) {
    auto cli =
        Start(name, {"poll", sim.PortName(), "p.v", "x\\ny", "=x", "--count", "1", "--csv", csv});
    EXPECT_EQ(cli->Wait(), 1) << cli->Err(); // the simulator answers only p.v
  }
  const std::string text = FileText(csv);
  EXPECT_TRUE(text.starts_with("time,p.v,\"x\ny\",\"'=x\"\r\n")) << text;
  EXPECT_EQ(Count(text, ",23.5,,\r\n"), 2u) << text;
}

#ifdef INFLUXD
// The --influx lines go into a real server as the README shows, through
// its HTTP /write, and a query gives back every answered reading: its time,
// its port and command, its number or its text, every byte told.
TEST_F(CliTest, TheInfluxLinesGoIntoAnInfluxdAndReadBackAsTheReadings) {
  Influxd influx(Work.Path() / "influxd");
  influx.Curl("create",
              {"-XPOST", influx.Url("/query"), "--data-urlencode", "q=CREATE DATABASE plant"});
  const std::string lines = (Work.Path() / "plant.lp").string();
  const struct {
    std::vector<std::string> Sim, Commands;
    int Status;
  } polls[] = {{{"--steady"}, {"p.v", "F0", "nope"}, 1},
               // Random answers, commands the protocol must escape.
               {{"--garbage"}, {"a b,c=d\"\\", "\\x7F\\t=\\\\"}, 0}};
  std::vector<std::string> reader = {PYTHON3, INFLUX_READ_BACK_SCRIPT,
                                     (Work.Path() / "answer.json").string()};
  for (const auto& poll : polls) {
    SimProcess sim(poll.Sim);
    const std::string jsonl = (Work.Path() / (poll.Sim[0] + ".jsonl")).string();
    std::vector<std::string> args = {"poll", sim.PortName()};
    args.insert(args.end(), poll.Commands.begin(), poll.Commands.end());
    args.insert(args.end(), {"--count", "3", "--every", "100ms", "--answer-end", "line", "--influx",
                             lines, "--jsonl", jsonl});
    auto cli = Start("poll" + poll.Sim[0], args);
    EXPECT_EQ(cli->Wait(), poll.Status) << cli->Err();
    reader.push_back(jsonl);
  }
  EXPECT_EQ(influx.Curl("write", {"-o", "/dev/null", "-w", "%{http_code}", "--data-binary",
                                  "@" + lines, influx.Url("/write?db=plant&precision=ns")}),
            "204")
      << FileText(lines);
  std::ofstream(Work.Path() / "answer.json") << influx.Query("plant", "SELECT * FROM marrowlink");
  ChildProcess python("influx-reader", reader, Work.Path());
  EXPECT_EQ(python.Wait(), 0) << python.Err();
  EXPECT_EQ(python.Out(), "ok 12\n") << "two answered of three, three of three; three rounds";
}
#endif

// Home Assistant finds the poll's sensors on the broker, retained, and
// knows from the status topic whether the poll runs: "online" while it
// does, "offline" at a clean end and, as its last will, when it dies.
TEST_F(CliTest, DiscoveryAndTheStatusAreRetainedOnTheBrokerWithALastWill) {
  SimProcess sim({"--steady"});
  Broker broker(Work.Path() / "broker");
  const std::string status = "t/status/" + sim.PortName();
  const auto retained = [&](const std::string& name, int count) {
    ChildProcess sub(name,
                     {MOSQUITTO_SUB, "-h", "127.0.0.1", "-p", std::to_string(broker.Port()), "-v",
                      "-C", std::to_string(count), "-W", "10", "-t", "ha/#", "-t", status},
                     Work.Path());
    sub.Wait(20000);
    std::vector<std::string> got = Lines(sub.Out());
    std::sort(got.begin(), got.end());
    return got;
  };
  const std::vector<std::string> discovery = {"poll",
                                              sim.PortName(),
                                              "p.v",
                                              "p v",
                                              "--every",
                                              "100ms",
                                              "--answer-end",
                                              "line",
                                              "--mqtt",
                                              broker.Address(),
                                              "--mqtt-prefix",
                                              "t",
                                              "--mqtt-discovery",
                                              "--mqtt-discovery-prefix",
                                              "ha"};
  std::vector<std::string> args = discovery;
  args.insert(args.end(), {"--for", "60s"});
  auto running = Start("running", args);
  const std::vector<std::string> announced = retained("announced", 3);
  ASSERT_EQ(announced.size(), 3u);
  EXPECT_TRUE(announced[0].starts_with("ha/sensor/")) << announced[0];
  EXPECT_NE(announced[0].find("/p_v_1/config {\"name\":\"p.v\",\"state_topic\":\"t/" +
                              sim.PortName() + "/p.v\""),
            std::string::npos)
      << announced[0];
  EXPECT_NE(announced[1].find("/p_v_2/config {\"name\":\"p v\""), std::string::npos)
      << announced[1];
  EXPECT_EQ(announced[2], status + " online");

  running->Signal(SIGKILL);
  running->Wait();
  ASSERT_TRUE(WaitFor([&] { return retained("will", 3).back() == status + " offline"; }, 10000));

  args = discovery;
  args.insert(args.end(), {"--count", "2"});
  ChildProcess watcher("watcher",
                       {MOSQUITTO_SUB, "-h", "127.0.0.1", "-p", std::to_string(broker.Port()), "-q",
                        "1", "-C", "3", "-W", "20", "-t", status},
                       Work.Path());
  ASSERT_TRUE(WaitFor([&] { return Lines(watcher.Out()).size() == 1; }, 10000));
  EXPECT_EQ(Start("clean", args)->Wait(), 1) << "the simulator does not answer \"p v\"";
  watcher.Wait(20000);
  EXPECT_EQ(Lines(watcher.Out()), (std::vector<std::string>{"offline", "online", "offline"}))
      << "the will's, then the clean poll's own";
}
