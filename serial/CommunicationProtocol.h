#pragma once

#include "serial/AnswerEnd.h"
#include "serial/SerialCommunicationPort.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

// The moments of an exchange, in order, for a caller that times them.
enum class TExchangeStep { RtsUp, WriteReturned, DrainReturned, RtsDown, ChunkRead, AnswerRead };

// An open connection to an instrument, one exchange at a time: key the
// transmitter with RTS, send Request, wait AnswerDelay, collect Answer.
class TCommunicationProtocol {
public:
  explicit TCommunicationProtocol(const std::string& path);
  virtual ~TCommunicationProtocol() = default;
  TCommunicationProtocol(const TCommunicationProtocol&) = delete;
  TCommunicationProtocol& operator=(const TCommunicationProtocol&) = delete;

  // Raises TDeviceLost, with Port closed, when the device is lost.
  virtual void Transact();
  // RTS at the level that keys the transmitter, or at the idle level.
  void KeyTransmitter(bool keyed);

  std::unique_ptr<TSerialCommunicationPort> Port;
  // Some adapters key their transmitter with RTS low and idle with it high.
  bool RtsActiveLow = false;
  std::int32_t AnswerDelay = 1000;
  std::string Request;
  std::string Answer;
  bool ExpectAnswer = true;
  TAnswerEnd AnswerEnd = TAnswerEnd::Wait;
  // When set, told of every step of Transact as it happens, with the bytes
  // that step moved (the request, a chunk, the whole answer).
  std::function<void(TExchangeStep, std::size_t)> StepObserver;

private:
  // Reads as bytes arrive until an LF past the first `stale` bytes of
  // Answer, or until AnswerDelay has passed since the tick `since`.
  void ReadToLineEnd(std::uint32_t since, std::size_t stale);
  void Step(TExchangeStep step, std::size_t bytes = 0) const {
    if (StepObserver)
      StepObserver(step, bytes);
  }
};
