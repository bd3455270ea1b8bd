#include "record/Number.h"

#include "base/FloatToStr.h"

#include <charconv>

namespace {

bool IsBlank(char c) {
  return static_cast<unsigned char>(c) <= ' ';
}

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && IsBlank(text.front()))
    text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back()))
    text.remove_suffix(1);
  return text;
}

// Digits from at; returns how many.
std::size_t SkipDigits(std::string_view text, std::size_t& at) {
  const std::size_t start = at;
  while (at < text.size() && IsDigit(text[at]))
    ++at;
  return at - start;
}

} // namespace

// A number beyond a double's range is none: no output can carry it as a
// number.
std::optional<TNumber> ReadNumber(std::string_view text, char decimalSeparator) {
  const std::string_view number = Trimmed(text);
  std::size_t at = 0;
  if (at < number.size() && (number[at] == '+' || number[at] == '-'))
    ++at;
  std::size_t digits = SkipDigits(number, at);
  std::size_t separatorAt = std::string_view::npos;
  if (at < number.size() && (number[at] == '.' || number[at] == decimalSeparator)) {
    separatorAt = at++;
    digits += SkipDigits(number, at);
  }
  if (digits == 0)
    return std::nullopt;
  if (at < number.size() && (number[at] == 'e' || number[at] == 'E')) {
    ++at;
    if (at < number.size() && (number[at] == '+' || number[at] == '-'))
      ++at;
    if (SkipDigits(number, at) == 0)
      return std::nullopt;
  }
  if (at != number.size())
    return std::nullopt;
  TNumber result;
  result.Digits = number.front() == '+' ? number.substr(1) : number;
  if (separatorAt != std::string_view::npos)
    result.Digits[separatorAt - (number.front() == '+' ? 1 : 0)] = '.';
  const char* end = result.Digits.data() + result.Digits.size();
  const auto [stop, error] = std::from_chars(result.Digits.data(), end, result.Value);
  if (error != std::errc() || stop != end)
    return std::nullopt;
  return result;
}

std::optional<std::string> NumberText(std::string_view text, char decimalSeparator) {
  std::optional<TNumber> number = ReadNumber(text, decimalSeparator);
  if (!number)
    return std::nullopt;
  return std::move(number->Digits);
}

bool ReadsAsNumber(std::string_view text, char decimalSeparator) {
  return ReadNumber(text, decimalSeparator).has_value();
}

std::optional<double> ParseReading(std::string_view text, char decimalSeparator) {
  const std::optional<TNumber> number = ReadNumber(text, decimalSeparator);
  if (!number)
    return std::nullopt;
  return number->Value;
}

TShownValue ReadShown(std::string text, char decimalSeparator) {
  std::optional<TNumber> number = ReadNumber(text, decimalSeparator);
  return {std::move(text), std::move(number)};
}

TShownValue ShownNumber(double value, char decimalSeparator) {
  return ReadShown(FloatToStr(value, decimalSeparator), decimalSeparator);
}
