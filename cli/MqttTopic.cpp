#include "cli/MqttTopic.h"

#include <cstdio>

namespace {

std::string TopicLevel(std::string_view text) {
  std::string level;
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte > 0x7E || c == '/' || c == '+' || c == '#' || c == '%') {
      char escape[4];
      std::snprintf(escape, sizeof escape, "%%%02X", byte);
      level += escape;
    } else {
      level += c;
    }
  }
  return level;
}

} // namespace

std::string ReadingTopic(std::string_view prefix, std::string_view port, std::string_view command) {
  return std::string(prefix) + "/" + TopicLevel(port) + "/" + TopicLevel(command);
}

std::string DefaultTopicPrefix(const std::string& hostName) {
  return hostName.empty() ? "marrowlink" : "marrowlink/" + TopicLevel(hostName);
}

std::string StatusTopic(std::string_view prefix, std::string_view port) {
  return std::string(prefix) + "/status/" + TopicLevel(port);
}
