#include "base/Format.h"

#include "base/Exception.h"

#include <cstddef>

namespace {

struct Placeholder {
  bool LeftAlign = false;
  std::size_t Width = 0;
  int Precision = -1;
  char Kind = 0;
};

[[noreturn]] void RaiseInvalid(std::string_view format) {
  throw Exception("Format '" + std::string(format) + "' invalid or incompatible with argument");
}

std::size_t ReadNumber(std::string_view format, std::size_t& pos) {
  std::size_t value = 0;
  while (pos < format.size() && format[pos] >= '0' && format[pos] <= '9') {
    value = value * 10 + static_cast<std::size_t>(format[pos] - '0');
    ++pos;
  }
  return value;
}

// Parses the placeholder after a '%' at pos; pos ends after its kind letter.
Placeholder ReadPlaceholder(std::string_view format, std::size_t& pos) {
  Placeholder p;
  if (pos < format.size() && format[pos] == '-') {
    p.LeftAlign = true;
    ++pos;
  }
  p.Width = ReadNumber(format, pos);
  if (pos < format.size() && format[pos] == '.') {
    ++pos;
    p.Precision = static_cast<int>(ReadNumber(format, pos));
  }
  if (pos >= format.size())
    RaiseInvalid(format);
  p.Kind = format[pos++];
  return p;
}

std::string Digits(std::uint64_t value, unsigned base) {
  static constexpr char digits[] = "0123456789ABCDEF";
  std::string text;
  do {
    text.insert(text.begin(), digits[value % base]);
    value /= base;
  } while (value != 0);
  return text;
}

std::string ZeroPadded(std::string digits, int precision) {
  if (precision > 0 && digits.size() < static_cast<std::size_t>(precision))
    digits.insert(0, static_cast<std::size_t>(precision) - digits.size(), '0');
  return digits;
}

std::string Render(const Placeholder& p, const FormatArg& arg, std::string_view format) {
  if (p.Kind == 's') {
    const std::string_view* text = arg.Text();
    if (!text)
      RaiseInvalid(format);
    if (p.Precision >= 0 && text->size() > static_cast<std::size_t>(p.Precision))
      return std::string(text->substr(0, static_cast<std::size_t>(p.Precision)));
    return std::string(*text);
  }
  const std::int64_t* number = arg.Integer();
  if (!number)
    RaiseInvalid(format);
  switch (p.Kind) {
  case 'd': {
    const auto value = static_cast<std::int32_t>(*number);
    const std::uint64_t magnitude =
        value < 0 ? 0 - static_cast<std::uint64_t>(static_cast<std::int64_t>(value))
                  : static_cast<std::uint64_t>(value);
    std::string text = ZeroPadded(Digits(magnitude, 10), p.Precision);
    if (value < 0)
      text.insert(text.begin(), '-');
    return text;
  }
  case 'u':
    return ZeroPadded(Digits(static_cast<std::uint32_t>(*number), 10), p.Precision);
  case 'x':
    return ZeroPadded(Digits(static_cast<std::uint32_t>(*number), 16), p.Precision);
  default:
    RaiseInvalid(format);
  }
}

} // namespace

std::string FormatArgs(std::string_view format, std::span<const FormatArg> args) {
  std::string result;
  std::size_t next = 0;
  for (std::size_t pos = 0; pos < format.size();) {
    const char c = format[pos++];
    if (c != '%') {
      result += c;
      continue;
    }
    if (pos < format.size() && format[pos] == '%') {
      result += '%';
      ++pos;
      continue;
    }
    const Placeholder p = ReadPlaceholder(format, pos);
    if (next >= args.size())
      RaiseInvalid(format);
    std::string field = Render(p, args[next++], format);
    if (field.size() < p.Width) {
      const std::string pad(p.Width - field.size(), ' ');
      field = p.LeftAlign ? field + pad : pad + field;
    }
    result += field;
  }
  return result;
}
