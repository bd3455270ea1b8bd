#include "serial/K4410RProtocol.h"

TK4410RProtocol::TK4410RProtocol(const std::string& path, std::uint32_t baud, bool rtsActiveLow)
    : TCommunicationProtocol(path) {
  // A step that raises leaves through the constructor; Port, already built,
  // is destroyed with the half-built object and closes the line.
  AnswerDelay = 350;
  RtsActiveLow = rtsActiveLow;
  Port->SetBaudRate(baud);
  Port->Open();
  KeyTransmitter(false);
  Port->SetDTR(true);
}

void TK4410RProtocol::Transact() {
  Request += "\r\n";
  TCommunicationProtocol::Transact();
}
