#include "tests/cli/Broker.h"

#include <csignal>
#include <fstream>
#include <stdexcept>

Broker::Broker(std::filesystem::path folder, const std::string& extraConfig)
    : Folder(std::move(folder)), TcpPort(FreeTcpPort()) {
  std::filesystem::create_directories(Folder / "store");
  {
    std::ofstream config(Folder / "mosquitto.conf");
    config << "listener " << TcpPort << " 127.0.0.1\n"
           << "persistence true\n"
           << "persistence_location " << (Folder / "store").string() << "/\n"
           << extraConfig;
    if (extraConfig.find("allow_anonymous") == std::string::npos)
      config << "allow_anonymous true\n";
  }
  Start();
}

void Broker::Start() {
  Process = std::make_unique<ChildProcess>(
      "mosquitto-" + std::to_string(++Starts),
      std::vector<std::string>{MOSQUITTO_BROKER, "-c", (Folder / "mosquitto.conf").string()},
      Folder);
  if (!WaitFor([&] { return Listening(TcpPort); }, 10000))
    throw std::runtime_error("mosquitto did not start: " + Process->Err());
}

void Broker::Stop() {
  Process->Signal(SIGTERM);
  Process->Wait(10000);
  Process.reset();
}
