#include "cli/MqttCredentials.h"

#include "base/Exception.h"
#include "platform/FilePrivacy.h"

#include <fstream>
#include <sstream>

namespace {

std::string Trimmed(const std::string& text) {
  const std::size_t first = text.find_first_not_of(" \t\r");
  if (first == std::string::npos)
    return {};
  return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

} // namespace

TMqttCredentials ParseMqttCredentials(const std::string& text, const std::string& path) {
  TMqttCredentials credentials;
  std::istringstream lines(text);
  std::string line;
  for (int number = 1; std::getline(lines, line); ++number) {
    const std::string content = Trimmed(line);
    if (content.empty() || content.front() == '#')
      continue;
    const std::size_t equals = content.find('=');
    const std::string key = Trimmed(content.substr(0, equals));
    const std::string value =
        equals == std::string::npos ? "" : Trimmed(content.substr(equals + 1));
    if (equals != std::string::npos && key == "client-id")
      credentials.ClientId = value;
    else if (equals != std::string::npos && key == "username")
      credentials.Username = value;
    else if (equals != std::string::npos && key == "password")
      credentials.Password = value;
    else
      throw Exception(path + ":" + std::to_string(number) +
                      ": expected client-id, username or password = value");
  }
  if (!credentials.Password.empty() && credentials.Username.empty())
    throw Exception(path + ": a password needs a username");
  return credentials;
}

TMqttCredentials ReadMqttCredentials(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file)
    throw Exception("cannot read the MQTT credentials file " + path);
  if (platform::ReadableByOthers(path))
    throw Exception("the MQTT credentials file " + path + " is readable by other users; refused (" +
                    platform::OwnerOnlyHint(path) + ")");
  std::ostringstream text;
  text << file.rdbuf();
  return ParseMqttCredentials(text.str(), path);
}
