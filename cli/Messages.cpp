#include "cli/Messages.h"

std::string ErrorLine(std::string_view message) {
  std::string line = "marrowlink-cli: ";
  for (std::size_t i = 0; i < message.size(); ++i) {
    if (message[i] == '\r' && i + 1 < message.size() && message[i + 1] == '\n')
      continue;
    line += message[i];
  }
  while (!line.empty() && line.back() == '\n')
    line.pop_back();
  return line + '\n';
}
