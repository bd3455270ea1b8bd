#pragma once

#include "tests/cli/CliProcess.h"

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

// An InfluxDB server of the test's own on 127.0.0.1 at free ports, its
// configuration, data and write-ahead log in folder; spoken to with curl.
class Influxd {
public:
  explicit Influxd(std::filesystem::path folder);

  // http://127.0.0.1:<port><path>
  std::string Url(const std::string& path) const;
  // curl -sS with these arguments; its standard output, or throws with its
  // error output when it fails.
  std::string Curl(const std::string& name, const std::vector<std::string>& args) const;
  // The JSON answer to an InfluxQL statement, times in ns since 1970.
  std::string Query(const std::string& database, const std::string& statement) const;

private:
  std::filesystem::path Folder;
  int HttpPort;
  std::unique_ptr<ChildProcess> Process;
};
