#pragma once

#include <QFont>

// The monitors' large digits: Arial bold at 85 pixels, or the closest sans
// bold where Arial is missing.
QFont DigitsFont();

// The designed dialog font at a character height of 11 pixels.
QFont MonitorFormFont();
