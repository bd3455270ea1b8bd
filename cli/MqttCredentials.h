#pragma once

#include <string>

// Who the program is at the broker. Read from a file, never from the
// command line, where every user's process list shows it.
struct TMqttCredentials {
  std::string ClientId;
  std::string Username;
  std::string Password;
};

// The file holds "key = value" lines with the keys client-id, username and
// password; blank lines and lines starting with # are skipped. A file that
// users other than its owner may read is refused. Raises with the path and
// the reason.
TMqttCredentials ReadMqttCredentials(const std::string& path);

// The same from the file's text.
TMqttCredentials ParseMqttCredentials(const std::string& text, const std::string& path);
