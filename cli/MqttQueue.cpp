#include "cli/MqttQueue.h"

#include <algorithm>

void TMqttQueue::Push(TMqttMessage message) {
  Waiting.push_back(std::move(message));
  while (Size() > Capacity && !Waiting.empty()) {
    Waiting.pop_front();
    ++DroppedCount;
  }
}

bool TMqttQueue::NextToHand(std::size_t window) const {
  return !Waiting.empty() && InFlight.size() < window && !Resending;
}

void TMqttQueue::Handed(int mid) {
  Waiting.pop_front();
  InFlight.push_back(mid);
}

void TMqttQueue::Acknowledged(int mid) {
  const auto found = std::find(InFlight.begin(), InFlight.end(), mid);
  if (found != InFlight.end())
    InFlight.erase(found);
  if (InFlight.empty())
    Resending = false;
}
