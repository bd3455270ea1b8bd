#include "cli/MqttPublisher.h"

#include "base/Exception.h"

#include <mosquitto.h>
#include <thread>

namespace {

// As many unacknowledged readings as the library keeps in flight itself.
constexpr std::size_t Window = 20;
constexpr int KeepAliveSeconds = 30;

class TLibrary {
public:
  TLibrary() { mosquitto_lib_init(); }
};

std::string ErrorText(int rc) {
  return mosquitto_strerror(rc);
}

} // namespace

void TMqttPublisher::TClientDeleter::operator()(mosquitto* client) const {
  mosquitto_destroy(client);
}

TMqttPublisher::TMqttPublisher(TMqttOptions options, const TMqttCredentials& credentials,
                               std::size_t capacity, TWarn warn,
                               std::optional<TMqttPresence> presence)
    : Options(std::move(options)), Warn(std::move(warn)), Presence(std::move(presence)),
      Queue(capacity) {
  // Initialising twice is harmless; the library keeps no per-client state there.
  static const TLibrary library;
  if (Options.Port == 0)
    Options.Port = Options.CaFile.empty() ? 1883 : 8883;
  const char* id = credentials.ClientId.empty() ? nullptr : credentials.ClientId.c_str();
  Client.reset(mosquitto_new(id, true, this));
  if (!Client)
    throw Exception("cannot set up the MQTT client: " + ErrorText(MOSQ_ERR_NOMEM));
  mosquitto_connect_callback_set(Client.get(), OnConnect);
  mosquitto_disconnect_callback_set(Client.get(), OnDisconnect);
  mosquitto_publish_callback_set(Client.get(), OnPublish);
  mosquitto_max_inflight_messages_set(Client.get(), Window);
  mosquitto_reconnect_delay_set(Client.get(), 1, 30, true);
  if (!credentials.Username.empty())
    mosquitto_username_pw_set(Client.get(), credentials.Username.c_str(),
                              credentials.Password.empty() ? nullptr
                                                           : credentials.Password.c_str());
  // The broker says this for the poll when its connection breaks off.
  if (Presence && mosquitto_will_set(Client.get(), Presence->StatusTopic.c_str(), 7, "offline", 1,
                                     true) != MOSQ_ERR_SUCCESS)
    throw Exception("cannot set the MQTT status topic " + Presence->StatusTopic);
  if (!Options.CaFile.empty()) {
    const int rc =
        mosquitto_tls_set(Client.get(), Options.CaFile.c_str(), nullptr, nullptr, nullptr, nullptr);
    if (rc != MOSQ_ERR_SUCCESS)
      throw Exception("cannot use the CA file " + Options.CaFile + ": " + ErrorText(rc));
  }
  // A broker that is not there yet is tried again by the library's thread.
  const int rc =
      mosquitto_connect_async(Client.get(), Options.Host.c_str(), Options.Port, KeepAliveSeconds);
  if (rc != MOSQ_ERR_SUCCESS)
    Warn("MQTT broker " + Where() + " not reached (" + ErrorText(rc) + "); readings wait");
  if (mosquitto_loop_start(Client.get()) != MOSQ_ERR_SUCCESS)
    throw Exception("cannot start the MQTT client's thread");
}

TMqttPublisher::~TMqttPublisher() {
  mosquitto_disconnect(Client.get());
  // Not forced: a thread cancelled inside a callback would leave its locks held.
  mosquitto_loop_stop(Client.get(), false);
}

std::string TMqttPublisher::Where() const {
  return Options.Host + ":" + std::to_string(Options.Port);
}

void TMqttPublisher::Publish(std::string topic, std::string payload, bool retain) {
  const std::scoped_lock lock(Lock);
  Queue.Push({std::move(topic), std::move(payload), retain});
  ReportDropped(false);
  Pump();
}

std::size_t TMqttPublisher::Flush(std::uint32_t ms) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  for (;;) {
    {
      const std::scoped_lock lock(Lock);
      Pump();
      if (Queue.Size() == 0 || std::chrono::steady_clock::now() >= deadline) {
        ReportDropped(true);
        return Queue.Size();
      }
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
}

void TMqttPublisher::SayOffline() {
  if (Presence)
    Publish(Presence->StatusTopic, "offline", true);
}

void TMqttPublisher::Announce() {
  if (!Presence)
    return;
  const auto announce = [&](const TMqttMessage& message) {
    mosquitto_publish(Client.get(), nullptr, message.Topic.c_str(),
                      static_cast<int>(message.Payload.size()), message.Payload.data(), 1, true);
  };
  for (const TMqttMessage& message : Presence->Announcements)
    announce(message);
  announce({Presence->StatusTopic, "online", true});
}

void TMqttPublisher::Pump() {
  while (Connected && Queue.NextToHand(Window)) {
    TMqttMessage& next = Queue.Front();
    int mid = 0;
    const int rc = mosquitto_publish(Client.get(), &mid, next.Topic.c_str(),
                                     static_cast<int>(next.Payload.size()), next.Payload.data(), 1,
                                     next.Retain);
    if (rc != MOSQ_ERR_SUCCESS)
      return; // the connection just went; the next connect pumps again
    Queue.Handed(mid);
  }
}

void TMqttPublisher::ReportDropped(bool final) {
  // Counted at most once a minute while it goes on, and once at the end.
  const auto now = std::chrono::steady_clock::now();
  if (Queue.Dropped() == DroppedReported)
    return;
  if (!final && LastDropReport && now - *LastDropReport < std::chrono::minutes(1))
    return;
  DroppedReported = Queue.Dropped();
  LastDropReport = now;
  Warn("MQTT queue full: " + std::to_string(DroppedReported) + " oldest readings dropped so far");
}

void TMqttPublisher::OnConnect(mosquitto*, void* self, int rc) {
  auto& publisher = *static_cast<TMqttPublisher*>(self);
  const std::scoped_lock lock(publisher.Lock);
  if (rc != 0) {
    if (rc != publisher.LastRefusal)
      publisher.Warn("MQTT broker " + publisher.Where() +
                     " refused the connection: " + mosquitto_connack_string(rc));
    publisher.LastRefusal = rc;
    return;
  }
  if (publisher.WentAway || publisher.LastRefusal != 0)
    publisher.Warn("MQTT broker " + publisher.Where() + " connected again");
  publisher.LastRefusal = 0;
  publisher.WentAway = false;
  publisher.Connected = true;
  // The library sends what it holds again only after this returns.
  publisher.Queue.Reconnected();
  publisher.Announce();
  publisher.Pump();
}

void TMqttPublisher::OnDisconnect(mosquitto*, void* self, int rc) {
  auto& publisher = *static_cast<TMqttPublisher*>(self);
  const std::scoped_lock lock(publisher.Lock);
  const bool wasConnected = publisher.Connected;
  publisher.Connected = false;
  // rc 0: our own disconnect at the end.
  if (rc != 0 && wasConnected && !publisher.WentAway) {
    publisher.WentAway = true;
    publisher.Warn("MQTT broker " + publisher.Where() + " went away (" + ErrorText(rc) +
                   "); readings wait for it");
  }
}

void TMqttPublisher::OnPublish(mosquitto*, void* self, int mid) {
  auto& publisher = *static_cast<TMqttPublisher*>(self);
  const std::scoped_lock lock(publisher.Lock);
  publisher.Queue.Acknowledged(mid);
  publisher.Pump();
}
