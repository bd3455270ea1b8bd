#include "ui/TwoValueDecode.h"

#include "base/StrToInt.h"

namespace {

constexpr std::string_view DumpMarker = "FF FE ";
// Offsets of the value bytes from the marker, and the length of the dump
// "FF FE b0 b1 b2 b3 b4 b5".
constexpr std::size_t B2 = 12, B3 = 15, B4 = 18, B5 = 21, DumpLength = 23;

} // namespace

std::optional<std::size_t> FindTwoValueDump(std::string_view answer) {
  const std::size_t pos = answer.find(DumpMarker);
  if (pos == std::string_view::npos || answer.size() < pos + DumpLength)
    return std::nullopt;
  return pos;
}

std::int32_t SignedWord(std::string_view high, std::string_view low) {
  std::string digits(high);
  digits += low;
  const bool negative = !digits.empty() && static_cast<unsigned char>(digits[0]) > '7';
  return StrToInt((negative ? "$FFFF" : "$0000") + digits);
}

TTwoValues DecodeTwoValues(std::string_view answer, TTwoValueTexts& texts, char decimalSeparator) {
  const std::optional<std::size_t> pos = FindTwoValueDump(answer);
  if (!pos) {
    texts = {};
    return {};
  }
  const auto byteAt = [&](std::size_t offset) { return answer.substr(*pos + offset, 2); };
  TTwoValues values;
  values.First = ShownNumber(SignedWord(byteAt(B3), byteAt(B2)) / 100.0, decimalSeparator);
  texts.First = values.First->Text;
  values.Second = ShownNumber(SignedWord(byteAt(B5), byteAt(B4)), decimalSeparator);
  texts.Second = values.Second->Text;
  return values;
}
