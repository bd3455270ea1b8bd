#pragma once

#include <QColor>

#include <cstdint>

// A stored colour value as the screen shows it; system colours follow the
// application's palette.
QColor QColorOfValue(std::int32_t color);

// The plain colour value of a colour the dialog returned.
std::int32_t ValueOfQColor(const QColor& color);
