#include "serial/CommunicationProtocol.h"

#include "serial/TimedWait.h"

#include <algorithm>

namespace {

// RTS is raised this long before the request and dropped this long after it.
constexpr std::uint32_t KeyingDelayMs = 50;

} // namespace

TCommunicationProtocol::TCommunicationProtocol(const std::string& path)
    : Port(std::make_unique<TSerialCommunicationPort>(path)) {}

void TCommunicationProtocol::Transact() {
  Port->SetRTS(true);
  TimedWait(KeyingDelayMs);
  Port->Write(Request);
  TimedWait(KeyingDelayMs);
  Port->SetRTS(false);
  Answer.clear();
  if (!ExpectAnswer)
    return;
  TimedWait(static_cast<std::uint32_t>(std::max(AnswerDelay, 0)));
  // Collection ends at the first moment the receive queue is found empty.
  for (std::string chunk = Port->ReadAvailable(); !chunk.empty(); chunk = Port->ReadAvailable())
    Answer += chunk;
}
