#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>

struct TMqttMessage {
  std::string Topic;
  std::string Payload;
  bool Retain = false; // the broker keeps it for every later subscriber
};

// The readings on their way to the broker, oldest first: those waiting to
// be handed to the client library, then those handed over and not yet
// acknowledged. Together they never exceed the capacity: a new reading
// beyond it pushes out the oldest waiting one, which is counted. Handed
// ones stay with the library, which sends them again after a reconnect,
// but only once the connection is back: until every one of those is
// acknowledged nothing newer is handed over, or it would overtake them.
class TMqttQueue {
public:
  explicit TMqttQueue(std::size_t capacity) : Capacity(capacity) {}

  void Push(TMqttMessage message);
  // The oldest waiting message, when fewer than window are in flight and
  // none is being sent again.
  bool NextToHand(std::size_t window) const;
  TMqttMessage& Front() { return Waiting.front(); }
  // The front was handed over under this message id.
  void Handed(int mid);
  // The broker acknowledged mid.
  void Acknowledged(int mid);
  // The connection is back; what is in flight goes out again first.
  void Reconnected() { Resending = !InFlight.empty(); }

  std::size_t Size() const { return Waiting.size() + InFlight.size(); }
  std::size_t InFlightCount() const { return InFlight.size(); }
  std::uint64_t Dropped() const { return DroppedCount; }

private:
  std::size_t Capacity;
  std::deque<TMqttMessage> Waiting;
  std::deque<int> InFlight;
  std::uint64_t DroppedCount = 0;
  bool Resending = false;
};
