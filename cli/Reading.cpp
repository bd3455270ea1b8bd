#include "cli/Reading.h"

#include "serial/EchoStrip.h"

std::optional<std::string> TReading::Shown() const {
  if (!Answered())
    return std::nullopt;
  return PanelCaption(Answer, Command);
}
