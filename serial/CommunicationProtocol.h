#pragma once

#include "serial/SerialCommunicationPort.h"

#include <cstdint>
#include <memory>
#include <string>

// An open connection to an instrument, one exchange at a time: key the
// transmitter with RTS, send Request, wait AnswerDelay, collect Answer.
class TCommunicationProtocol {
public:
  explicit TCommunicationProtocol(const std::string& path);
  virtual ~TCommunicationProtocol() = default;
  TCommunicationProtocol(const TCommunicationProtocol&) = delete;
  TCommunicationProtocol& operator=(const TCommunicationProtocol&) = delete;

  virtual void Transact();

  std::unique_ptr<TSerialCommunicationPort> Port;
  std::int32_t AnswerDelay = 1000;
  std::string Request;
  std::string Answer;
  bool ExpectAnswer = true;
};
