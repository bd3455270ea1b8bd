#include "cli/CliOptions.h"

#include "cli/Duration.h"
#include "cli/ExitStatus.h"
#include "record/Escape.h"
#include "serial/SerialPort.h"

#include <CLI/CLI.hpp>

#include <charconv>
#include <utility>

namespace {

constexpr const char* ExitStatuses = R"(Exit status:
  0  every exchange answered; a poll ended by SIGINT/SIGTERM, --for or --count
  1  some exchange got no answer
  2  usage error (nothing was sent)
  3  the port cannot be opened
  4  the adapter vanished during send
  5  an output cannot be written, or readings were not taken by the MQTT broker
A send stopped by SIGINT/SIGTERM ends after the exchange under way: 0 when
every exchange made was answered, 1 otherwise.
A session record that cannot be written is warned about once and does not
change the status.)";

constexpr const char* CommandsNote =
    "Commands are sent as given, followed by CR LF; \\r, \\n, \\t, \\\\ and \\xHH stand for "
    "those bytes.";

#ifdef MARROWLINK_MQTT_TLS
constexpr bool TlsBuiltIn = true;
#else
constexpr bool TlsBuiltIn = false;
#endif

void CheckPortName(const std::string& name) {
  std::int32_t number = 0;
  try {
    number = TSerialPort::PortNumberFromName(name);
  } catch (const Exception& e) {
    throw TUsageError(e.what());
  }
  if (number < 1)
    throw TUsageError("\"" + name + "\" is not valid port name: COM numbers start at 1");
}

std::string CommandLineBytes(const std::string& given) {
  std::optional<std::string> bytes = CommandBytes(given);
  if (!bytes)
    throw TUsageError("a command cannot hold a NUL byte: \"" + given + "\"");
  return std::move(*bytes);
}

std::uint64_t ParseCount(const std::string& text) {
  std::uint64_t count = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), count);
  if (error != std::errc() || end != text.data() + text.size() || count == 0)
    throw TUsageError("--count takes a whole number of rounds from 1 up, not \"" + text + "\"");
  return count;
}

TMqttOptions ParseBroker(const std::string& address) {
  TMqttOptions mqtt;
  mqtt.Host = address;
  const std::size_t colon = address.rfind(':');
  if (colon != std::string::npos) {
    const std::string port = address.substr(colon + 1);
    unsigned value = 0;
    const auto [end, error] = std::from_chars(port.data(), port.data() + port.size(), value);
    if (error != std::errc() || end != port.data() + port.size() || value == 0 || value > 65535)
      throw TUsageError("--mqtt takes HOST or HOST:PORT, not \"" + address + "\"");
    mqtt.Host = address.substr(0, colon);
    mqtt.Port = static_cast<std::uint16_t>(value);
  }
  if (mqtt.Host.empty())
    throw TUsageError("--mqtt needs a host name");
  return mqtt;
}

// --answer-end for send and poll.
void AddAnswerEnd(CLI::App& command, std::string& answerEnd) {
  command
      .add_option("--answer-end", answerEnd,
                  "wait: collect the answer after 350 ms; line: as soon as its line has ended "
                  "(default: the window's Answer End)")
      ->type_name("wait|line");
}

std::optional<TAnswerEnd> ParseAnswerEnd(const std::string& text) {
  if (text.empty())
    return std::nullopt;
  if (text == "wait")
    return TAnswerEnd::Wait;
  if (text == "line")
    return TAnswerEnd::Line;
  throw TUsageError("--answer-end takes wait or line, not \"" + text + "\"");
}

// The raw text of each option, checked and converted once CLI11 is done.
struct TRaw {
  std::vector<std::string> Commands;
  std::string Every = "1s";
  std::string For;
  std::string Count;
  std::string Mqtt;
  std::string MqttPrefix;
  std::string MqttCredentials;
  std::string MqttCaFile;
  bool MqttDiscovery = false;
  std::string MqttDiscoveryPrefix;
  std::string AnswerEnd;
};

void AddPollOptions(CLI::App& poll, TCliOptions& options, TRaw& raw) {
  poll.add_option("--every", raw.Every, "time from one round's start to the next (default 1s)")
      ->type_name("DURATION");
  auto* forOption =
      poll.add_option("--for", raw.For, "stop after this long (e.g. 8h)")->type_name("DURATION");
  poll.add_option("--count", raw.Count, "stop after N rounds")->type_name("N")->excludes(forOption);
  poll.add_option("--csv", options.CsvPath,
                  "one row per round to FILE, continued if it has the same columns (- for stdout)")
      ->type_name("FILE");
  poll.add_option("--jsonl", options.JsonlPath,
                  "one JSON line per reading, appended to FILE (- for stdout)")
      ->type_name("FILE");
  poll.add_option("--influx", options.InfluxPath,
                  "one InfluxDB line-protocol line per answered reading, appended to FILE (- for "
                  "stdout)")
      ->type_name("FILE");
  poll.add_flag("--no-session", options.NoSession, "keep no session record");
  poll.add_flag("--trace", options.Trace, "print each exchange's keying timeline on stderr");
  poll.add_flag("--rts-active-low", options.RtsActiveLow, "key the transmitter with RTS low");
  AddAnswerEnd(poll, raw.AnswerEnd);
  poll.add_option("--mqtt", raw.Mqtt, "publish every reading to this MQTT broker")
      ->type_name("HOST[:PORT]");
  poll.add_option("--mqtt-prefix", raw.MqttPrefix, "topic prefix (default marrowlink/<host>)")
      ->type_name("PREFIX");
  poll.add_option("--mqtt-credentials", raw.MqttCredentials,
                  "client-id, username, password (a file only its owner may read)")
      ->type_name("FILE");
  poll.add_option("--mqtt-cafile", raw.MqttCaFile,
                  TlsBuiltIn ? "connect with TLS, trusting this CA"
                             : "not in this build: it has no TLS (no OpenSSL for Windows)")
      ->type_name("FILE");
  poll.add_flag("--mqtt-discovery", raw.MqttDiscovery,
                "announce each command as a Home Assistant sensor, with the poll's status");
  poll.add_option("--mqtt-discovery-prefix", raw.MqttDiscoveryPrefix,
                  "discovery topic prefix (default homeassistant)")
      ->type_name("PREFIX");
}

// Two outputs to one file, or both to standard output, would mix their lines.
void CheckOutputsApart(const TCliOptions& options) {
  const std::pair<const char*, const std::string*> outputs[] = {{"--csv", &options.CsvPath},
                                                                {"--jsonl", &options.JsonlPath},
                                                                {"--influx", &options.InfluxPath}};
  for (std::size_t i = 0; i < std::size(outputs); ++i)
    for (std::size_t j = i + 1; j < std::size(outputs); ++j)
      if (!outputs[i].second->empty() && *outputs[i].second == *outputs[j].second)
        throw TUsageError(std::string(outputs[i].first) + " and " + outputs[j].first +
                          " cannot write to the same place");
}

// One or more topic levels, without the subscription wildcards.
std::string CheckedDiscoveryPrefix(const std::string& prefix) {
  if (prefix.find_first_of("+#") != std::string::npos || prefix.front() == '/' ||
      prefix.back() == '/')
    throw TUsageError(
        "--mqtt-discovery-prefix takes topic levels without + or # and without a / at either end, "
        "not \"" +
        prefix + "\"");
  return prefix;
}

void CheckPollOptions(TCliOptions& options, const TRaw& raw) {
  options.EveryMs = ParseDurationMs(raw.Every);
  if (!raw.For.empty())
    options.ForMs = ParseDurationMs(raw.For);
  if (!raw.Count.empty())
    options.Count = ParseCount(raw.Count);
  CheckOutputsApart(options);
  if (!raw.MqttCaFile.empty() && !TlsBuiltIn)
    throw TUsageError("--mqtt-cafile: this build has no TLS (no OpenSSL for Windows)");
  if (raw.Mqtt.empty()) {
    if (!raw.MqttPrefix.empty() || !raw.MqttCredentials.empty() || !raw.MqttCaFile.empty() ||
        raw.MqttDiscovery || !raw.MqttDiscoveryPrefix.empty())
      throw TUsageError("the --mqtt-... options need --mqtt HOST");
    return;
  }
  if (!raw.MqttDiscoveryPrefix.empty() && !raw.MqttDiscovery)
    throw TUsageError("--mqtt-discovery-prefix needs --mqtt-discovery");
  TMqttOptions mqtt = ParseBroker(raw.Mqtt);
  mqtt.Prefix = raw.MqttPrefix;
  mqtt.CredentialsFile = raw.MqttCredentials;
  mqtt.CaFile = raw.MqttCaFile;
  mqtt.Discovery = raw.MqttDiscovery;
  if (!raw.MqttDiscoveryPrefix.empty())
    mqtt.DiscoveryPrefix = CheckedDiscoveryPrefix(raw.MqttDiscoveryPrefix);
  options.Mqtt = mqtt;
}

// CLI11's messages can span lines; a script reads one.
std::string OneLine(std::string text) {
  for (char& c : text)
    if (c == '\n' || c == '\r')
      c = ' ';
  while (!text.empty() && text.back() == ' ')
    text.pop_back();
  return text;
}

} // namespace

TParsedCommandLine ParseCommandLine(int argc, const char* const* argv) {
  TCliOptions options;
  TRaw raw;
  CLI::App app("Talks to a K4410R instrument on a serial line.", "marrowlink-cli");
  app.require_subcommand(1);
  app.footer(std::string(CommandsNote) + "\n\n" + ExitStatuses);

  auto* ports = app.add_subcommand("ports", "list the COM ports: name, description, device");
  ports->add_flag("--json", options.Json, "as a JSON array");

  auto* send = app.add_subcommand("send", "one exchange per command, one answer line each");
  send->add_option("port", options.Port, "COM port, e.g. COM3")->required()->type_name("COMn");
  send->add_option("commands", raw.Commands, "commands to send")->required()->type_name("COMMAND");
  send->add_flag("--value", options.Value, "print the value with the echo removed");
  send->add_flag("--no-session", options.NoSession, "keep no session record");
  send->add_flag("--rts-active-low", options.RtsActiveLow, "key the transmitter with RTS low");
  AddAnswerEnd(*send, raw.AnswerEnd);

  auto* poll = app.add_subcommand("poll", "the commands in turn, a round every period");
  poll->add_option("port", options.Port, "COM port, e.g. COM3")->required()->type_name("COMn");
  poll->add_option("commands", raw.Commands, "commands to poll")->required()->type_name("COMMAND");
  AddPollOptions(*poll, options, raw);

  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp&) {
    // Shows the subcommand's help when one was named.
    return {std::nullopt, app.help("", CLI::AppFormatMode::Normal)};
  } catch (const CLI::CallForAllHelp&) {
    return {std::nullopt, app.help("", CLI::AppFormatMode::All)};
  } catch (const CLI::ParseError& e) {
    throw TUsageError(OneLine(e.what()));
  }
  if (ports->parsed())
    options.Command = TCliCommand::Ports;
  if (send->parsed() || poll->parsed()) {
    options.Command = send->parsed() ? TCliCommand::Send : TCliCommand::Poll;
    CheckPortName(options.Port);
    for (const std::string& given : raw.Commands)
      options.Commands.push_back(CommandLineBytes(given));
    options.AnswerEnd = ParseAnswerEnd(raw.AnswerEnd);
  }
  if (poll->parsed())
    CheckPollOptions(options, raw);
  return {options, {}};
}
