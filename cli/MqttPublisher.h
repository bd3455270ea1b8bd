#pragma once

#include "cli/CliOptions.h"
#include "cli/MqttCredentials.h"
#include "cli/MqttQueue.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

struct mosquitto;

// What a poll says of itself on the broker, all retained, QoS 1: "offline"
// on StatusTopic as its last will, and at every connect, before any
// reading, the Announcements, then "online".
struct TMqttPresence {
  std::string StatusTopic;
  std::vector<TMqttMessage> Announcements;
};

// Hands readings to an MQTT broker, QoS 1, in order, from a bounded queue:
// the broker may come and go (the client library reconnects on its own
// thread), the poll never waits for it. What goes wrong is said once on the
// warning channel, which may be called from the library's thread.
class TMqttPublisher {
public:
  using TWarn = std::function<void(const std::string&)>;

  TMqttPublisher(TMqttOptions options, const TMqttCredentials& credentials, std::size_t capacity,
                 TWarn warn, std::optional<TMqttPresence> presence = {});
  ~TMqttPublisher();
  TMqttPublisher(const TMqttPublisher&) = delete;
  TMqttPublisher& operator=(const TMqttPublisher&) = delete;

  void Publish(std::string topic, std::string payload, bool retain = false);
  // A clean end: "offline" on the status topic, after what is queued.
  void SayOffline();
  // At the end of a poll: waits up to ms for the broker to take what is
  // queued; returns how many readings it did not take.
  std::size_t Flush(std::uint32_t ms);

private:
  static void OnConnect(mosquitto*, void* self, int rc);
  static void OnDisconnect(mosquitto*, void* self, int rc);
  static void OnPublish(mosquitto*, void* self, int mid);

  // Hands waiting readings to the library while the broker is there.
  void Pump();
  // The presence's messages of a connect, handed over before any reading.
  void Announce();
  void ReportDropped(bool final);
  std::string Where() const;

  struct TClientDeleter {
    void operator()(mosquitto* client) const;
  };

  TMqttOptions Options;
  TWarn Warn;
  std::optional<TMqttPresence> Presence;
  std::mutex Lock; // the queue and the state below, shared with the library's thread
  TMqttQueue Queue;
  bool Connected = false;
  bool WentAway = false;
  int LastRefusal = 0;
  std::uint64_t DroppedReported = 0;
  std::optional<std::chrono::steady_clock::time_point> LastDropReport;
  std::unique_ptr<mosquitto, TClientDeleter> Client;
};
