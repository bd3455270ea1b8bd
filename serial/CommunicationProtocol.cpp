#include "serial/CommunicationProtocol.h"

#include "serial/TimedWait.h"
#include "serial/WireTime.h"

#include <algorithm>

namespace {

// RTS is raised this long before the request and dropped this long after it.
constexpr std::uint32_t KeyingDelayMs = 50;
// The most an adapter's chip holds once its driver has reported the bytes
// sent; the chips in use hold from 32 bytes to a few hundred.
constexpr std::size_t AdapterBufferBytes = 1024;

} // namespace

TCommunicationProtocol::TCommunicationProtocol(const std::string& path)
    : Port(std::make_unique<TSerialCommunicationPort>(path)) {}

void TCommunicationProtocol::KeyTransmitter(bool keyed) {
  Port->SetRTS(keyed != RtsActiveLow);
}

void TCommunicationProtocol::Transact() {
  KeyTransmitter(true);
  Step(TExchangeStep::RtsUp);
  TimedWait(KeyingDelayMs);
  // What is queued now came before the request: it stays at the front of
  // the answer, but its line end cannot end this one.
  const std::size_t stale = AnswerEnd == TAnswerEnd::Line ? Port->Queued() : 0;
  const std::uint32_t writeStart = SystemTickClock().Now();
  Port->Write(Request);
  Step(TExchangeStep::WriteReturned, Request.size());
  Port->Drain(Request.size());
  Step(TExchangeStep::DrainReturned, Request.size());
  const std::uint32_t drained = SystemTickClock().Now() - writeStart;
  TimedWait(KeyingDelayMs);
  // A driver whose drain returns while its chip still sends would lose a
  // long request's tail: RTS also stays up until the request and one more
  // character time have passed on the wire since the write began. What a
  // drain can leave unsent is at most a chip's buffer, so a huge request
  // the line took at once is not held for its whole wire time again.
  const std::uint32_t baud = Port->LineSettings().BaudRate;
  WaitUntilElapsed(writeStart, std::min(WireTimeMs(Request.size() + 1, baud),
                                        drained + WireTimeMs(AdapterBufferBytes + 1, baud)));
  KeyTransmitter(false);
  const std::uint32_t rtsDown = SystemTickClock().Now();
  Step(TExchangeStep::RtsDown);
  Answer.clear();
  if (!ExpectAnswer)
    return;
  if (AnswerEnd == TAnswerEnd::Line)
    ReadToLineEnd(rtsDown, stale);
  else
    TimedWait(static_cast<std::uint32_t>(std::max(AnswerDelay, 0)));
  // Collection ends at the first moment the receive queue is found empty.
  for (std::string chunk = Port->ReadAvailable(); !chunk.empty(); chunk = Port->ReadAvailable()) {
    Step(TExchangeStep::ChunkRead, chunk.size());
    Answer += chunk;
  }
  Step(TExchangeStep::AnswerRead, Answer.size());
}

void TCommunicationProtocol::ReadToLineEnd(std::uint32_t since, std::size_t stale) {
  const auto delay = static_cast<std::uint32_t>(std::max(AnswerDelay, 0));
  // Ends, as a timed wait does, at the first tick more than delay after since.
  for (std::uint32_t elapsed = SystemTickClock().Now() - since; elapsed <= delay;
       elapsed = SystemTickClock().Now() - since) {
    const std::string chunk = Port->ReadArriving(delay - elapsed + 1);
    if (chunk.empty())
      return;
    Step(TExchangeStep::ChunkRead, chunk.size());
    const std::size_t unsearched = std::max(Answer.size(), stale);
    Answer += chunk;
    if (Answer.find('\n', unsearched) != std::string::npos)
      return;
  }
}
