#pragma once

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// A broker of a few MQTT 3.1.1 packets on 127.0.0.1 at a free port, for
// what a real one will not do on cue: its first connection takes
// `dropAfter` QoS 1 publishes and closes without acknowledging any; every
// later connection acknowledges all. It keeps the payloads it acknowledged,
// in the order it received them.
class StandInBroker {
public:
  explicit StandInBroker(int dropAfter);
  ~StandInBroker();
  StandInBroker(const StandInBroker&) = delete;
  StandInBroker& operator=(const StandInBroker&) = delete;

  std::string Address() const { return "127.0.0.1:" + std::to_string(Port); }
  std::vector<std::string> Acknowledged() const;
  int Connections() const { return ConnectionCount; }

private:
  void Serve();
  // One client until it leaves or is dropped.
  void Talk(int fd, bool first);

  int DropAfter;
  int Listener = -1;
  int Port = 0;
  std::atomic<bool> Stopping{false};
  std::atomic<int> ConnectionCount{0};
  mutable std::mutex Lock;
  std::vector<std::string> Payloads;
  std::thread Thread;
};
