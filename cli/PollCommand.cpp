#include "cli/PollCommand.h"

#include "cli/CliLine.h"
#include "cli/InfluxLine.h"
#include "cli/Messages.h"
#include "cli/OutputSink.h"
#include "cli/PollSchedule.h"
#include "cli/ReadingJson.h"
#include "line/ExchangeTrace.h"
#include "platform/StopSignal.h"
#include "platform/TickCounter.h"
#include "record/ReadingsCsv.h"
#include "record/SessionRecord.h"
#include "record/TimeText.h"
#include "serial/DeviceLost.h"

#include "cli/MqttCredentials.h"
#include "cli/MqttDiscovery.h"
#include "cli/MqttPublisher.h"
#include "cli/MqttTopic.h"
#include "platform/HostName.h"

#include <memory>
#include <optional>

namespace {

// How many readings wait for a broker that is away.
constexpr std::size_t MqttQueueCapacity = 10000;
// How long the end of a poll waits for the broker to take what is queued.
constexpr std::uint32_t MqttFlushMs = 3000;
// Waits between rounds are cut in slices this long, to see a stop soon.
constexpr std::uint32_t StopCheckMs = 50;

class TPoll {
public:
  TPoll(const TCliOptions& options, const TDefaults& defaults, std::ostream& err);

  TExitStatus Run();

private:
  TMqttCredentials Credentials() const;
  // With discovery: the sensors of the commands and the poll's status.
  std::optional<TMqttPresence> Presence() const;
  bool Finished(std::uint32_t startTick, std::uint64_t rounds) const;
  // Sleeps until the next round is due; false when a stop came first.
  bool WaitForRound(const TPollSchedule& schedule, std::uint32_t startTick);
  void Round();
  TReading Exchange(const std::string& command);
  // The reading of a command the line could not take.
  TReading Lost(const std::string& command) const;
  void Reopen();
  void Publish(const TReading& reading);
  void Warn(const std::string& message) { Err << ErrorLine(message) << std::flush; }

  const TCliOptions& Options;
  std::ostream& Err;
  const TSerialPort Port;
  bool RtsActiveLow;
  TAnswerEnd AnswerEnd;
  std::unique_ptr<TInstrumentLine> Line;
  std::optional<TOutputSink> Csv;
  std::optional<TOutputSink> Jsonl;
  std::optional<TOutputSink> Influx;
  std::optional<TExchangeTrace> Trace;
  std::string TopicPrefix;
  std::unique_ptr<TMqttPublisher> Mqtt;
  bool Gone = false;
  std::string LastFailure;
  bool AllAnswered = true;
};

TPoll::TPoll(const TCliOptions& options, const TDefaults& defaults, std::ostream& err)
    : Options(options), Err(err), Port(NamedPort(options.Port)),
      RtsActiveLow(options.RtsActiveLow || defaults.RtsActiveLow),
      AnswerEnd(options.AnswerEnd.value_or(defaults.AnswerEnd)),
      Line(MakeCliLine(defaults.SessionLog && !options.NoSession, defaults,
                       [this](const std::string& warning) { Warn(warning); })) {
  // Everything the arguments name is checked before the port is touched.
  const TMqttCredentials credentials = Credentials();
  OpenNamedPort(*Line, Port, RtsActiveLow, AnswerEnd);
  if (!Options.CsvPath.empty())
    Csv.emplace(Options.CsvPath, Options.Commands);
  if (!Options.JsonlPath.empty())
    Jsonl.emplace(Options.JsonlPath);
  if (!Options.InfluxPath.empty())
    Influx.emplace(Options.InfluxPath);
  if (Options.Trace) {
    Trace.emplace([this](const std::string& line) { Err << line << '\n' << std::flush; });
    Line->SetTrace(&*Trace);
  }
  if (Options.Mqtt) {
    const TMqttOptions& mqtt = *Options.Mqtt;
    TopicPrefix = mqtt.Prefix.empty() ? DefaultTopicPrefix(platform::HostName()) : mqtt.Prefix;
    Mqtt = std::make_unique<TMqttPublisher>(
        mqtt, credentials, MqttQueueCapacity, [this](const std::string& warning) { Warn(warning); },
        Presence());
  }
}

TMqttCredentials TPoll::Credentials() const {
  if (!Options.Mqtt || Options.Mqtt->CredentialsFile.empty())
    return {};
  try {
    return ReadMqttCredentials(Options.Mqtt->CredentialsFile);
  } catch (const Exception& e) {
    throw TUsageError(e.what());
  }
}

std::optional<TMqttPresence> TPoll::Presence() const {
  if (!Options.Mqtt->Discovery)
    return std::nullopt;
  const TDiscoverySetup setup{Options.Mqtt->DiscoveryPrefix,
                              TopicPrefix,
                              platform::HostName(),
                              Port.Name,
                              Options.Commands,
                              MARROWLINK_VERSION};
  TMqttPresence presence{StatusTopic(TopicPrefix, Port.Name), {}};
  for (TDiscoveryMessage& config : DiscoveryConfigs(setup))
    presence.Announcements.push_back({std::move(config.Topic), std::move(config.Payload), true});
  return presence;
}

TExitStatus TPoll::Run() {
  const std::uint32_t startTick = platform::GetTickCount();
  TPollSchedule schedule(Options.EveryMs, startTick);
  for (std::uint64_t rounds = 0; !Finished(startTick, rounds); ++rounds) {
    if (!WaitForRound(schedule, startTick))
      break;
    schedule.RoundStarted(platform::GetTickCount());
    Round();
  }
  Line->Close();
  // What is still queued is lost with the program: an output not written.
  if (Mqtt) {
    const std::size_t left = Mqtt->Flush(MqttFlushMs);
    // After the readings, which it would not overtake: behind readings
    // still waiting it is only handed on.
    Mqtt->SayOffline();
    Mqtt->Flush(left == 0 ? MqttFlushMs : 0);
    if (left != 0) {
      Warn(std::to_string(left) + " readings were not taken by the MQTT broker");
      return TExitStatus::OutputFailed;
    }
  }
  return AllAnswered ? TExitStatus::Answered : TExitStatus::SomeSilent;
}

bool TPoll::Finished(std::uint32_t startTick, std::uint64_t rounds) const {
  if (platform::StopRequested())
    return true;
  if (Options.Count && rounds >= *Options.Count)
    return true;
  return Options.ForMs && platform::GetTickCount() - startTick >= *Options.ForMs;
}

bool TPoll::WaitForRound(const TPollSchedule& schedule, std::uint32_t startTick) {
  for (;;) {
    if (platform::StopRequested())
      return false;
    const std::uint32_t now = platform::GetTickCount();
    std::uint32_t wait = schedule.WaitMs(now);
    if (Options.ForMs) {
      const std::uint32_t elapsed = now - startTick;
      if (elapsed >= *Options.ForMs)
        return false;
      wait = std::min(wait, *Options.ForMs - elapsed);
    }
    if (schedule.WaitMs(now) == 0)
      return true;
    platform::Sleep(std::min(wait, StopCheckMs));
  }
}

void TPoll::Round() {
  const platform::LocalTime started = platform::CurrentLocalTime();
  std::vector<std::optional<TShownValue>> values;
  for (const std::string& command : Options.Commands) {
    // A stop ends the poll after the exchange under way; a round cut short
    // gets no row, so every row holds a whole round.
    if (platform::StopRequested())
      return;
    const TReading reading = Exchange(command);
    values.push_back(reading.Shown);
    if (!reading.Answered())
      AllAnswered = false;
    if (Jsonl)
      Jsonl->WriteLine(ReadingJsonLine(reading));
    if (Influx && reading.Shown)
      Influx->WriteLine(InfluxLine(reading.Port, reading.Command, reading.Number(),
                                   reading.Shown->Text, EpochMs(reading.Started) * 1'000'000));
    Publish(reading);
  }
  if (Csv)
    Csv->WriteLine(ReadingsRow(started, values), "\r\n");
}

TReading TPoll::Exchange(const std::string& command) {
  if (!Line->IsOpen())
    Reopen();
  if (!Line->IsOpen())
    return Lost(command);
  try {
    TReading reading = Line->Exchange(command);
    LastFailure.clear();
    return reading;
  } catch (const TDeviceLost& e) {
    Gone = true;
    Warn(e.what());
    Line->Event(SessionKind::Error, {e.what()});
    Line->Close();
  } catch (const Exception& e) {
    // Not a lost device (a refused modem-line call, say): the exchange
    // counts as silent and the next one tries again. Said once while it
    // keeps failing the same way, not once a second for hours.
    if (e.what() != LastFailure) {
      Warn(e.what());
      Line->Event(SessionKind::Error, {e.what()});
    }
    LastFailure = e.what();
    if (!Line->IsOpen())
      Line->Close();
  }
  return Lost(command);
}

TReading TPoll::Lost(const std::string& command) const {
  TReading lost = Line->Unsent(command);
  // Named also while the line is closed.
  lost.Port = Port.Name;
  return lost;
}

void TPoll::Reopen() {
  try {
    OpenNamedPort(*Line, Port, RtsActiveLow, AnswerEnd);
  } catch (const Exception&) {
    return; // still away: tried again at the next exchange
  }
  if (Gone)
    Warn(Port.Name + " is back");
  Gone = false;
}

void TPoll::Publish(const TReading& reading) {
  if (Mqtt && !reading.Lost)
    Mqtt->Publish(ReadingTopic(TopicPrefix, reading.Port, reading.Command), ReadingJson(reading));
}

} // namespace

TExitStatus RunPoll(const TCliOptions& options, const TDefaults& defaults, std::ostream& err) {
  TPoll poll(options, defaults, err);
  return poll.Run();
}
