#include "ui/QtColor.h"

#include "ui/ColorValue.h"

#include <QApplication>
#include <QPalette>

namespace {

// The palette roles closest to the few system colours a value can name;
// the window-text colour stands in for the rest.
QPalette::ColorRole RoleOfSystemColor(int index) {
  switch (index) {
  case 5:
    return QPalette::Base;
  case 9:
  case 14:
    return QPalette::HighlightedText;
  case 13:
    return QPalette::Highlight;
  case 15:
    return QPalette::Button;
  case 18:
    return QPalette::ButtonText;
  default:
    return QPalette::WindowText;
  }
}

} // namespace

QColor QColorOfValue(std::int32_t color) {
  if (IsSystemColor(color))
    return QApplication::palette().color(RoleOfSystemColor(SystemColorIndex(color)));
  const TRgb rgb = RgbOfColor(color);
  return QColor(rgb.Red, rgb.Green, rgb.Blue);
}

std::int32_t ValueOfQColor(const QColor& color) {
  const QColor rgb = color.toRgb();
  return ColorOfRgb({static_cast<std::uint8_t>(rgb.red()), static_cast<std::uint8_t>(rgb.green()),
                     static_cast<std::uint8_t>(rgb.blue())});
}
