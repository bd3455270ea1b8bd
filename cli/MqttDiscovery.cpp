#include "cli/MqttDiscovery.h"

#include "cli/MqttTopic.h"
#include "cli/ReadingJson.h"

#include <algorithm>

namespace {

bool NameCharacter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
         c == '-';
}

// Indexes of the names that are empty or equal to another.
std::vector<std::size_t> Clashing(const std::vector<std::string>& names) {
  std::vector<std::size_t> clashing;
  for (std::size_t i = 0; i < names.size(); ++i)
    if (names[i].empty() || std::count(names.begin(), names.end(), names[i]) > 1)
      clashing.push_back(i);
  return clashing;
}

std::string NodeName(const TDiscoverySetup& setup) {
  const std::string host = DiscoveryName(setup.HostName);
  return (host.empty() ? "marrowlink" : host) + "_" + DiscoveryName(setup.Port);
}

std::string SensorConfig(const TDiscoverySetup& setup, const std::string& node,
                         const std::string& object, const std::string& command) {
  std::string json = "{\"name\":" + JsonString(command);
  json += ",\"state_topic\":" + JsonString(ReadingTopic(setup.ReadingsPrefix, setup.Port, command));
  json += ",\"value_template\":\"{{ value_json.value }}\"";
  json += ",\"unique_id\":" + JsonString(node + "_" + object);
  json += ",\"availability_topic\":" + JsonString(StatusTopic(setup.ReadingsPrefix, setup.Port));
  json += ",\"device\":{\"identifiers\":[" + JsonString(node) + "]";
  json += ",\"name\":" + JsonString("K4410R on " + setup.Port +
                                    (setup.HostName.empty() ? "" : " at " + setup.HostName));
  json += ",\"model\":\"K4410R\",\"sw_version\":" + JsonString("marrowlink " + setup.Version);
  return json + "}}";
}

} // namespace

std::string DiscoveryName(std::string_view text) {
  std::string name;
  bool gap = false;
  for (const char c : text) {
    if (!NameCharacter(c)) {
      gap = true;
      continue;
    }
    if (gap && !name.empty())
      name += '_';
    gap = false;
    name += c;
  }
  return name;
}

std::vector<std::string> DiscoveryObjects(const std::vector<std::string>& commands) {
  std::vector<std::string> objects;
  objects.reserve(commands.size());
  for (const std::string& command : commands)
    objects.push_back(DiscoveryName(command));
  // A suffix can make a name another command's: then both take one more.
  for (std::vector<std::size_t> clashing = Clashing(objects); !clashing.empty();
       clashing = Clashing(objects))
    for (const std::size_t i : clashing) {
      // Appended piece by piece: GCC 12 at -O3 warns, wrongly, of an
      // overlapping copy in "_" + text.
      objects[i] += '_';
      objects[i] += std::to_string(i + 1);
    }
  return objects;
}

std::vector<TDiscoveryMessage> DiscoveryConfigs(const TDiscoverySetup& setup) {
  const std::string node = NodeName(setup);
  const std::vector<std::string> objects = DiscoveryObjects(setup.Commands);
  std::vector<TDiscoveryMessage> messages;
  for (std::size_t i = 0; i < objects.size(); ++i)
    messages.push_back({setup.Prefix + "/sensor/" + node + "/" + objects[i] + "/config",
                        SensorConfig(setup, node, objects[i], setup.Commands[i])});
  return messages;
}
