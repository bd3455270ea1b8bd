#include "line/ExchangeTrace.h"

#include "record/Escape.h"
#include "serial/CommunicationProtocol.h"

#include <cstdio>

namespace {

// A switch, so that a step added without a name does not build.
const char* StepName(TExchangeStep step) {
  switch (step) {
  case TExchangeStep::RtsUp:
    return "RTS up";
  case TExchangeStep::WriteReturned:
    return "write returned";
  case TExchangeStep::DrainReturned:
    return "drain returned";
  case TExchangeStep::RtsDown:
    return "RTS down";
  case TExchangeStep::ChunkRead:
    return "chunk";
  case TExchangeStep::AnswerRead:
    return "answer read";
  }
  return "?";
}

} // namespace

void TExchangeTrace::Begin(TCommunicationProtocol& protocol, const std::string& label) {
  Line = "trace " + EscapeField(label) + " (ms from RTS up):";
  First = true;
  protocol.StepObserver = [this](TExchangeStep step, std::size_t bytes) {
    const auto now = std::chrono::steady_clock::now();
    if (step == TExchangeStep::RtsUp)
      RtsUp = now;
    const double ms = std::chrono::duration<double, std::milli>(now - RtsUp).count();
    if (step == TExchangeStep::RtsUp)
      return;
    char text[64];
    if (step == TExchangeStep::ChunkRead)
      std::snprintf(text, sizeof text, "%s %s of %zu B %.1f", First ? "" : ",", StepName(step),
                    bytes, ms);
    else
      std::snprintf(text, sizeof text, "%s %s %.1f", First ? "" : ",", StepName(step), ms);
    First = false;
    Line += text;
  };
}

void TExchangeTrace::End(TCommunicationProtocol& protocol) {
  protocol.StepObserver = nullptr;
  Print(Line);
  Line.clear();
}
