#include "base/Exception.h"
#include "base/StrToInt.h"
#include "fuzz/FuzzCheck.h"

#include <charconv>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace {

// A second reading of the integer syntax, written apart from the parser:
// blanks, sign, then a decimal in range or one to eight hex digits after
// "$", "x", "X", "0x" or "0X".
std::optional<std::int32_t> Reference(std::string_view text) {
  const std::size_t start = text.find_first_not_of(' ');
  if (start == std::string_view::npos)
    return std::nullopt;
  text.remove_prefix(start);
  bool negative = false;
  if (text.front() == '+' || text.front() == '-') {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  int base = 10;
  for (const std::string_view prefix : {"0x", "0X", "$", "x", "X"})
    if (text.starts_with(prefix)) {
      text.remove_prefix(prefix.size());
      base = 16;
      break;
    }
  if (text.empty() || (base == 16 && text.size() > 8))
    return std::nullopt;
  // from_chars takes neither a sign nor blanks here, so they cannot slip in.
  if (text.front() == '+' || text.front() == '-')
    return std::nullopt;
  std::uint64_t magnitude = 0;
  const auto [end, error] =
      std::from_chars(text.data(), text.data() + text.size(), magnitude, base);
  if (error != std::errc() || end != text.data() + text.size())
    return std::nullopt;
  if (base == 16) {
    const auto pattern = static_cast<std::uint32_t>(magnitude);
    return static_cast<std::int32_t>(negative ? 0U - pattern : pattern);
  }
  const std::int64_t value =
      negative ? -static_cast<std::int64_t>(magnitude) : static_cast<std::int64_t>(magnitude);
  if (magnitude > 0x80000000ULL || value > INT32_MAX || value < INT32_MIN)
    return std::nullopt;
  return static_cast<std::int32_t>(value);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const std::optional<std::int32_t> parsed = TryStrToInt(text);
  Require(parsed == Reference(text), "TryStrToInt agrees with the reference reading");

  try {
    const std::int32_t value = StrToInt(text);
    Require(parsed && value == *parsed, "StrToInt returns what TryStrToInt accepts");
  } catch (const Exception& error) {
    Require(!parsed, "StrToInt raises only where TryStrToInt refuses");
    // what() ends at a NUL byte, as the message box's text does.
    const std::string expected = "'" + std::string(text) + "' is not a valid integer value";
    Require(error.what() == expected.substr(0, expected.find('\0')),
            "the message quotes the whole text");
  }

  if (parsed) {
    Require(TryStrToInt(std::to_string(*parsed)) == parsed, "the decimal text reads back");
    char hex[16];
    const auto [end, error] =
        std::to_chars(hex, hex + sizeof hex, static_cast<std::uint32_t>(*parsed), 16);
    Require(error == std::errc() && TryStrToInt("$" + std::string(hex, end)) == parsed,
            "the 32-bit pattern reads back");
  }
  return 0;
}
