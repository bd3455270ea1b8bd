#pragma once

#include "watch/Band.h"

#include <string>

// A panel's limits as the operator typed them; empty for none.
struct TLimitTexts {
  std::string Low, High, Hysteresis;

  bool operator==(const TLimitTexts&) const = default;
};

// The limits the texts give, read as the record reads a shown value.
// Raises with the message the operator sees when a text is not a number,
// the low limit lies above the high one, or the hysteresis is negative or
// leaves no room between the limits.
TLimits ParseLimits(const TLimitTexts& texts, char decimalSeparator);
