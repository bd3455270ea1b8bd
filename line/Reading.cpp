#include "line/Reading.h"

#include "serial/EchoStrip.h"

std::optional<double> TReading::Number() const {
  if (!Shown || !Shown->Number)
    return std::nullopt;
  return Shown->Number->Value;
}

std::optional<TShownValue> ShownOf(const std::string& answer, std::string_view command,
                                   char decimalSeparator) {
  if (answer.empty())
    return std::nullopt;
  return ReadShown(PanelCaption(answer, command), decimalSeparator);
}
