#include "base/StrToInt.h"

#include "base/Exception.h"
#include "base/Format.h"

namespace {

int HexDigit(char c) {
  if (c >= '0' && c <= '9')
    return c - '0';
  if (c >= 'a' && c <= 'f')
    return c - 'a' + 10;
  if (c >= 'A' && c <= 'F')
    return c - 'A' + 10;
  return -1;
}

// Length of the hexadecimal prefix at the start of text, or 0 if there is none.
std::size_t HexPrefixLength(std::string_view text) {
  if (text.starts_with("0x") || text.starts_with("0X"))
    return 2;
  if (text.starts_with('$') || text.starts_with('x') || text.starts_with('X'))
    return 1;
  return 0;
}

std::optional<std::uint32_t> ParseHex(std::string_view digits) {
  if (digits.empty() || digits.size() > 8)
    return std::nullopt;
  std::uint32_t value = 0;
  for (const char c : digits) {
    const int digit = HexDigit(c);
    if (digit < 0)
      return std::nullopt;
    value = value * 16 + static_cast<std::uint32_t>(digit);
  }
  return value;
}

// Magnitude of a decimal number, or nothing once it leaves the 32-bit range.
std::optional<std::uint64_t> ParseDecimal(std::string_view digits) {
  if (digits.empty())
    return std::nullopt;
  std::uint64_t value = 0;
  for (const char c : digits) {
    if (c < '0' || c > '9')
      return std::nullopt;
    value = value * 10 + static_cast<std::uint64_t>(c - '0');
    if (value > 0x80000000ULL)
      return std::nullopt;
  }
  return value;
}

} // namespace

std::optional<std::int32_t> TryStrToInt(std::string_view text) {
  std::string_view rest = text;
  while (rest.starts_with(' '))
    rest.remove_prefix(1);
  bool negative = false;
  if (rest.starts_with('+') || rest.starts_with('-')) {
    negative = rest.front() == '-';
    rest.remove_prefix(1);
  }
  if (const std::size_t prefix = HexPrefixLength(rest); prefix > 0) {
    const auto pattern = ParseHex(rest.substr(prefix));
    if (!pattern)
      return std::nullopt;
    const std::uint32_t value = negative ? 0U - *pattern : *pattern;
    return static_cast<std::int32_t>(value);
  }
  const auto magnitude = ParseDecimal(rest);
  if (!magnitude || (!negative && *magnitude > 0x7FFFFFFFULL))
    return std::nullopt;
  const std::int64_t value =
      negative ? -static_cast<std::int64_t>(*magnitude) : static_cast<std::int64_t>(*magnitude);
  return static_cast<std::int32_t>(value);
}

std::int32_t StrToInt(std::string_view text) {
  if (const auto value = TryStrToInt(text))
    return *value;
  throw Exception(Format("'%s' is not a valid integer value", text));
}
