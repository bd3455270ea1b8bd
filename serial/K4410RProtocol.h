#pragma once

#include "serial/CommunicationProtocol.h"

#include <cstdint>
#include <string>

// The instrument's protocol: the line opened at a given rate, RTS low and
// DTR high, an answer delay of 350 ms, and every request ended by CR LF.
class TK4410RProtocol : public TCommunicationProtocol {
public:
  // rtsActiveLow: the adapter keys with RTS low, so the line idles with it high.
  TK4410RProtocol(const std::string& path, std::uint32_t baud, bool rtsActiveLow = false);

  void Transact() override;
};
