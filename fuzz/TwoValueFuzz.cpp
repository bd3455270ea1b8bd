#include "base/Exception.h"
#include "fuzz/FuzzCheck.h"
#include "ui/TwoValueDecode.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

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

// The signed 16-bit value of four hex digits, high byte first, or nothing
// when one of them is not a hex digit.
std::optional<int> Word(std::string_view high, std::string_view low) {
  int value = 0;
  for (const char c : std::string(high) + std::string(low)) {
    const int digit = HexDigit(c);
    if (digit < 0)
      return std::nullopt;
    value = value * 16 + digit;
  }
  return static_cast<std::int16_t>(value);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0)
    return 0;
  // The first byte picks the locale's decimal separator.
  const char separator = (data[0] & 1) != 0 ? ',' : '.';
  const std::string_view answer(reinterpret_cast<const char*>(data) + 1, size - 1);

  TTwoValueTexts texts{"before", "before"};
  const std::optional<std::size_t> at = FindTwoValueDump(answer);
  Require(at.has_value() == (answer.find("FF FE ") != std::string_view::npos &&
                             answer.find("FF FE ") + 23 <= answer.size()),
          "a dump is found exactly when all eight bytes are there");
  std::optional<int> first, second;
  std::string failure;
  if (at) {
    const auto byteAt = [&](std::size_t offset) { return answer.substr(*at + offset, 2); };
    first = Word(byteAt(15), byteAt(12));
    second = Word(byteAt(21), byteAt(18));
    const std::string digits = first ? std::string(byteAt(21)) + std::string(byteAt(18))
                                     : std::string(byteAt(15)) + std::string(byteAt(12));
    failure = "'" + std::string(static_cast<unsigned char>(digits[0]) > '7' ? "$FFFF" : "$0000") +
              digits + "' is not a valid integer value";
    // what() ends at a NUL byte, as the message box's text does.
    failure.resize(std::min(failure.size(), failure.find('\0')));
  }
  try {
    DecodeTwoValues(answer, texts, separator);
  } catch (const Exception& error) {
    const std::string message = error.what();
    Require(at && (!first || !second), "only a byte that is not hex makes decoding fail");
    Require(message == failure, "the failure names the sign-extended text");
    Require(texts.Second == "before", "a failed decoding leaves the second text as it was");
    Require(texts.First == "before" || first, "the first text changes only once decoded");
    return 0;
  }
  if (!at) {
    Require(texts.First.empty() && texts.Second.empty(), "no dump clears both texts");
    return 0;
  }
  Require(first && second, "decoding succeeds only on hex bytes");
  Require(texts.Second == std::to_string(*second), "the second value as a decimal integer");
  // FloatToStr drops trailing zeros and the separator of whole numbers.
  std::string hundredths = std::to_string(*first);
  const bool negative = *first < 0;
  if (negative)
    hundredths.erase(0, 1);
  hundredths.insert(0, 3 - std::min<std::size_t>(hundredths.size(), 3), '0');
  std::string expected = hundredths.substr(0, hundredths.size() - 2) + separator +
                         hundredths.substr(hundredths.size() - 2);
  while (expected.back() == '0')
    expected.pop_back();
  if (expected.back() == separator)
    expected.pop_back();
  if (negative && expected != "0")
    expected.insert(0, 1, '-');
  Require(texts.First == expected, "the first value in hundredths, as general-format text");
  return 0;
}
