#pragma once

#include <chrono>
#include <cstddef>
#include <functional>
#include <string>

class TCommunicationProtocol;

// The keying timeline of each exchange, in ms from RTS up: write returned,
// drain returned, RTS down, each chunk read with its size, answer read. One
// line per exchange on the channel given: what an oscilloscope on RTS and
// TX would show a field engineer, short of the wire itself.
class TExchangeTrace {
public:
  explicit TExchangeTrace(std::function<void(const std::string&)> print)
      : Print(std::move(print)) {}

  // Watches the protocol's next exchange; End prints it and stops watching.
  void Begin(TCommunicationProtocol& protocol, const std::string& label);
  void End(TCommunicationProtocol& protocol);

private:
  std::function<void(const std::string&)> Print;
  std::chrono::steady_clock::time_point RtsUp;
  std::string Line;
  bool First = true;
};
