#pragma once

#include "serial/AnswerEnd.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

enum class TCliCommand { Ports, Send, Poll };

struct TMqttOptions {
  std::string Host;
  std::uint16_t Port = 0; // 0: the usual one, 1883, or 8883 with TLS
  std::string Prefix;     // empty: marrowlink/<host name>
  std::string CredentialsFile;
  std::string CaFile; // TLS when set
  // Home Assistant's discovery: a sensor's configuration per command, and
  // the poll's status for its availability.
  bool Discovery = false;
  std::string DiscoveryPrefix = "homeassistant";
};

// What the command line asks for, checked: a command given here is sent
// as it is, every number is in range.
struct TCliOptions {
  TCliCommand Command = TCliCommand::Ports;
  bool Json = false;
  std::string Port;                  // COMn, as given
  std::vector<std::string> Commands; // the bytes to send, escapes undone
  bool Value = false;
  std::uint32_t EveryMs = 1000;
  std::optional<std::uint32_t> ForMs;
  std::optional<std::uint64_t> Count;
  std::string CsvPath;    // "-" for standard output
  std::string JsonlPath;  // "-" for standard output
  std::string InfluxPath; // "-" for standard output
  bool NoSession = false;
  bool Trace = false;
  bool RtsActiveLow = false;           // only ever turns the setting on
  std::optional<TAnswerEnd> AnswerEnd; // none: as the setting says
  std::optional<TMqttOptions> Mqtt;
};

// The outcome of reading the command line: options to run with, or text
// that was asked for (--help) and is all there is to do.
struct TParsedCommandLine {
  std::optional<TCliOptions> Options;
  std::string Help;
};

// Raises TUsageError with a one-line message for anything wrong.
TParsedCommandLine ParseCommandLine(int argc, const char* const* argv);
