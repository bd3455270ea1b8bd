#include "watch/LimitTexts.h"

#include "base/Exception.h"
#include "record/Number.h"

namespace {

bool IsBlank(const std::string& text) {
  for (const char c : text)
    if (static_cast<unsigned char>(c) > ' ')
      return false;
  return true;
}

std::optional<double> ParseLimit(const std::string& text, const char* field,
                                 char decimalSeparator) {
  if (IsBlank(text))
    return std::nullopt;
  const std::optional<double> value = ParseReading(text, decimalSeparator);
  if (!value)
    throw Exception(std::string(field) + ": \"" + text + "\" is not a number");
  return value;
}

} // namespace

TLimits ParseLimits(const TLimitTexts& texts, char decimalSeparator) {
  TLimits limits;
  limits.Low = ParseLimit(texts.Low, "Low", decimalSeparator);
  limits.High = ParseLimit(texts.High, "High", decimalSeparator);
  limits.Hysteresis = ParseLimit(texts.Hysteresis, "Hysteresis", decimalSeparator).value_or(0.0);
  if (limits.Low && limits.High && *limits.Low > *limits.High)
    throw Exception("Low " + texts.Low + " is above High " + texts.High);
  if (limits.Hysteresis < 0)
    throw Exception("Hysteresis " + texts.Hysteresis + " is below zero");
  if (limits.Low && limits.High && !(limits.Hysteresis < *limits.High - *limits.Low))
    throw Exception("Hysteresis " + texts.Hysteresis + " must be smaller than High - Low");
  return limits;
}
