#pragma once

#include "record/Number.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// What the two-value monitor shows: the first value divided by 100 and the
// second as an integer.
struct TTwoValueTexts {
  std::string First;
  std::string Second;
};

// The values decoded, as the monitor's readings CSV takes them; none when
// the answer held no dump.
struct TTwoValues {
  std::optional<TShownValue> First;
  std::optional<TShownValue> Second;
};

// 0-based position of "FF FE " in answer, when the answer is long enough to
// hold all eight bytes of the dump behind it.
std::optional<std::size_t> FindTwoValueDump(std::string_view answer);

// The signed 16-bit value of two hexadecimal bytes, sign-extended through the
// strict integer parse; raises "'$FFFFhhll' is not a valid integer value"
// (or "$0000...") when a byte is not hexadecimal.
std::int32_t SignedWord(std::string_view high, std::string_view low);

// Updates texts from an answer to "F0": both cleared when it holds no dump,
// otherwise First then Second; returns the values they show. A failing
// conversion raises and leaves the text it was about to set unchanged.
TTwoValues DecodeTwoValues(std::string_view answer, TTwoValueTexts& texts, char decimalSeparator);
