#pragma once

#include <optional>
#include <string>
#include <string_view>

// Whether a shown value reads as a number: optional blanks (any byte up to
// the space) around, an optional sign, digits with at most one decimal
// separator (a full stop, or decimalSeparator, the locale's one that the
// program shows values with), an optional exponent (e or E, optional sign,
// digits), and within the range of a double. Nothing else: no hexadecimal,
// inf, nan, digit grouping, 1e999 or 1e-999. Every output and every watch
// of a reading takes this one rule.
bool ReadsAsNumber(std::string_view text, char decimalSeparator);

// The number as a reader of any locale takes it: the digits as shown, with
// a full stop for the separator and without blanks or a plus sign; none
// when the text does not read as a number.
std::optional<std::string> NumberText(std::string_view text, char decimalSeparator);

// Its value, under the same rule.
std::optional<double> ParseReading(std::string_view text, char decimalSeparator);
