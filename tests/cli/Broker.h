#pragma once

#include "tests/cli/CliProcess.h"

#include <filesystem>
#include <memory>
#include <string>

// A mosquitto broker of the test's own on 127.0.0.1 at a free port, with
// persistence on, so it can be stopped and started again with its state.
class Broker {
public:
  // extraConfig: more lines for its configuration file.
  explicit Broker(std::filesystem::path folder, const std::string& extraConfig = "");

  void Start();
  void Stop();
  int Port() const { return TcpPort; }
  std::string Address() const { return "127.0.0.1:" + std::to_string(TcpPort); }

private:
  std::filesystem::path Folder;
  int TcpPort;
  int Starts = 0;
  std::unique_ptr<ChildProcess> Process;
};
