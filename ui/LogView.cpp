#include "ui/LogView.h"

#include "record/Escape.h"

std::optional<TLogView> LogViewOf(std::int32_t stored) {
  if (stored < 0 || stored >= LogViews)
    return std::nullopt;
  return static_cast<TLogView>(stored);
}

std::string ShownBytes(const std::string& bytes, TLogView view) {
  switch (view) {
  case TLogView::Text:
    return bytes;
  case TLogView::Escaped:
    return EscapeField(bytes);
  case TLogView::Hex:
    break;
  }
  constexpr char Digits[] = "0123456789ABCDEF";
  std::string hex;
  hex.reserve(bytes.size() * 3);
  for (const char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    if (!hex.empty())
      hex += ' ';
    hex += Digits[byte >> 4];
    hex += Digits[byte & 0x0F];
  }
  return hex;
}
