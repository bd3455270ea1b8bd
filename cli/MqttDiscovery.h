#pragma once

#include <string>
#include <string_view>
#include <vector>

// A name as Home Assistant's discovery takes it: letters, digits, _ and -;
// each run of other bytes becomes one _, and none is left at either end.
std::string DiscoveryName(std::string_view text);

// The id of each command's sensor, in order: its name, with _N (N its
// position from 1) where two commands come to the same name or to none.
std::vector<std::string> DiscoveryObjects(const std::vector<std::string>& commands);

struct TDiscoverySetup {
  std::string Prefix;         // homeassistant, or as given
  std::string ReadingsPrefix; // the readings' topic prefix
  std::string HostName;
  std::string Port; // COMn
  std::vector<std::string> Commands;
  std::string Version; // the program's
};

struct TDiscoveryMessage {
  std::string Topic;
  std::string Payload;
};

// For each command a sensor's configuration at
// <prefix>/sensor/<node>/<object>/config, the node named after the host
// and the port: its reading's topic and value, one device per port, and the
// port's status topic for its availability.
std::vector<TDiscoveryMessage> DiscoveryConfigs(const TDiscoverySetup& setup);
