#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>
#include <variant>

// One argument of Format: an integer or a byte string.
class FormatArg {
public:
  template <class T>
  requires std::is_integral_v<T> FormatArg(T value) : Value(static_cast<std::int64_t>(value)) {}
  FormatArg(std::string_view value) : Value(value) {}
  FormatArg(const std::string& value) : Value(std::string_view(value)) {}
  FormatArg(const char* value) : Value(std::string_view(value)) {}

  const std::int64_t* Integer() const { return std::get_if<std::int64_t>(&Value); }
  const std::string_view* Text() const { return std::get_if<std::string_view>(&Value); }

private:
  std::variant<std::int64_t, std::string_view> Value;
};

// printf-like formatting with the placeholders the system uses:
// %s a string, %d a signed integer, %x an integer shown as an unsigned 32-bit
// number in upper-case hexadecimal, %u unsigned decimal, %% a percent sign.
// Flags "-", a width and a precision (".4" = at least four digits, or at most
// four characters of a string) are accepted. A placeholder that does not match
// its argument, or a missing argument, raises.
std::string FormatArgs(std::string_view format, std::span<const FormatArg> args);

template <class... Args> std::string Format(std::string_view format, const Args&... args) {
  const std::array<FormatArg, sizeof...(Args)> list{FormatArg(args)...};
  return FormatArgs(format, list);
}
