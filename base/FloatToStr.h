#pragma once

#include <string>

// General format with 15 significant digits: fixed notation for magnitudes
// from 0.0001 up to below 1E15, scientific ("1.5E-5", "1E15") otherwise,
// trailing zeros dropped, no separator for whole numbers.
std::string FloatToStr(double value, char decimalSeparator);
