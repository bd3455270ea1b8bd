#include "record/Escape.h"

#include <cstdint>

namespace {

constexpr char HexDigits[] = "0123456789ABCDEF";

int HexValue(char c) {
  if (c >= '0' && c <= '9')
    return c - '0';
  if (c >= 'A' && c <= 'F')
    return c - 'A' + 10;
  if (c >= 'a' && c <= 'f')
    return c - 'a' + 10;
  return -1;
}

} // namespace

std::string EscapeField(std::string_view bytes) {
  std::string field;
  field.reserve(bytes.size() + bytes.size() / 8);
  for (const char c : bytes) {
    const auto byte = static_cast<std::uint8_t>(c);
    switch (c) {
    case '\\':
      field += "\\\\";
      break;
    case '\t':
      field += "\\t";
      break;
    case '\r':
      field += "\\r";
      break;
    case '\n':
      field += "\\n";
      break;
    default:
      if (byte < 32 || byte > 126) {
        field += "\\x";
        field += HexDigits[byte >> 4];
        field += HexDigits[byte & 0x0F];
      } else {
        field += c;
      }
    }
  }
  return field;
}

std::string UnescapeField(std::string_view field) {
  std::string bytes;
  bytes.reserve(field.size());
  for (std::size_t i = 0; i < field.size(); ++i) {
    if (field[i] != '\\' || i + 1 == field.size()) {
      bytes += field[i];
      continue;
    }
    const char kind = field[i + 1];
    if (kind == '\\' || kind == 't' || kind == 'r' || kind == 'n') {
      bytes += kind == 't' ? '\t' : kind == 'r' ? '\r' : kind == 'n' ? '\n' : '\\';
      ++i;
    } else if (kind == 'x' && i + 3 < field.size() && HexValue(field[i + 2]) >= 0 &&
               HexValue(field[i + 3]) >= 0) {
      bytes += static_cast<char>(HexValue(field[i + 2]) * 16 + HexValue(field[i + 3]));
      i += 3;
    } else {
      bytes += '\\';
    }
  }
  return bytes;
}

std::optional<std::string> CommandBytes(std::string_view typed) {
  std::string bytes = UnescapeField(typed);
  if (bytes.find('\0') != std::string::npos)
    return std::nullopt;
  return bytes;
}
