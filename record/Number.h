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

// A number read from a shown value: its value, and its digits as a reader of
// any locale takes them (with a full stop, without blanks or a plus sign).
struct TNumber {
  double Value = 0;
  std::string Digits;
};

// A value as shown, and the number it reads as: read once, so the CSV, the
// limits, the trend and the command-line outputs agree on what is a number.
struct TShownValue {
  std::string Text;
  std::optional<TNumber> Number;
};

// The number text reads as, under the same rule; none for text.
std::optional<TNumber> ReadNumber(std::string_view text, char decimalSeparator);

// A shown text and the number it reads as.
TShownValue ReadShown(std::string text, char decimalSeparator);

// A value the program worked out itself, shown with decimalSeparator.
TShownValue ShownNumber(double value, char decimalSeparator);
