#include "tests/cli/Influxd.h"

#include <fstream>
#include <stdexcept>

Influxd::Influxd(std::filesystem::path folder)
    : Folder(std::move(folder)), HttpPort(FreeTcpPort()) {
  std::filesystem::create_directories(Folder);
  const std::string dir = Folder.string();
  {
    // Nothing of the machine's own server: its folders, its ports, the
    // reports home and the statistics it would store in a database of its own.
    std::ofstream config(Folder / "influxdb.conf");
    config << "reporting-disabled = true\n"
           << "bind-address = \"127.0.0.1:" << FreeTcpPort() << "\"\n"
           << "[meta]\n  dir = \"" << dir << "/meta\"\n  logging-enabled = false\n"
           << "[data]\n  dir = \"" << dir << "/data\"\n  wal-dir = \"" << dir << "/wal\"\n"
           << "  query-log-enabled = false\n"
           << "[monitor]\n  store-enabled = false\n"
           << "[http]\n  bind-address = \"127.0.0.1:" << HttpPort << "\"\n  log-enabled = false\n"
           << "[continuous_queries]\n  enabled = false\n";
  }
  Process = std::make_unique<ChildProcess>(
      "influxd", std::vector<std::string>{INFLUXD, "-config", (Folder / "influxdb.conf").string()},
      Folder);
  // Its HTTP service opens last, once the stores are ready.
  if (!WaitFor([&] { return Listening(HttpPort); }, 20000))
    throw std::runtime_error("influxd did not start: " + Process->Err());
}

std::string Influxd::Url(const std::string& path) const {
  return "http://127.0.0.1:" + std::to_string(HttpPort) + path;
}

std::string Influxd::Curl(const std::string& name, const std::vector<std::string>& args) const {
  std::vector<std::string> command = {CURL, "-sS"};
  command.insert(command.end(), args.begin(), args.end());
  ChildProcess curl(name, command, Folder);
  if (curl.Wait(20000) != 0)
    throw std::runtime_error("curl " + name + " failed: " + curl.Err());
  return curl.Out();
}

std::string Influxd::Query(const std::string& database, const std::string& statement) const {
  return Curl("query", {"-G", Url("/query"), "--data-urlencode", "db=" + database,
                        "--data-urlencode", "epoch=ns", "--data-urlencode", "q=" + statement});
}
