#include "base/FloatToStr.h"

#include <charconv>
#include <cmath>

namespace {

// "1e+15" -> "1E15", "1.5e-05" -> "1.5E-5".
std::string WithPlainExponent(std::string text) {
  const std::size_t e = text.find('e');
  if (e == std::string::npos)
    return text;
  std::string exponent = text.substr(e + 1);
  std::string sign;
  if (!exponent.empty() && (exponent[0] == '+' || exponent[0] == '-')) {
    if (exponent[0] == '-')
      sign = "-";
    exponent.erase(0, 1);
  }
  const std::size_t firstDigit = exponent.find_first_not_of('0');
  exponent = firstDigit == std::string::npos ? "0" : exponent.substr(firstDigit);
  return text.substr(0, e) + "E" + sign + exponent;
}

} // namespace

std::string FloatToStr(double value, char decimalSeparator) {
  if (std::isnan(value))
    return "NAN";
  if (std::isinf(value))
    return value < 0 ? "-INF" : "INF";
  char buffer[64];
  const auto result =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15);
  std::string text = WithPlainExponent(std::string(buffer, result.ptr));
  for (char& c : text)
    if (c == '.')
      c = decimalSeparator;
  return text;
}
