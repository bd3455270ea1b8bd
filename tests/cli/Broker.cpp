#include "tests/cli/Broker.h"

#include <arpa/inet.h>
#include <csignal>
#include <fstream>
#include <netinet/in.h>
#include <stdexcept>
#include <sys/socket.h>
#include <unistd.h>

namespace {

bool Listening(int port) {
  const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<std::uint16_t>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  const bool connected = ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
  ::close(fd);
  return connected;
}

} // namespace

Broker::Broker(const std::filesystem::path& folder, const std::string& extraConfig)
    : Folder(folder), TcpPort(FreeTcpPort()) {
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
