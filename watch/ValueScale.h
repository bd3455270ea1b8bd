#pragma once

#include <span>
#include <string>
#include <vector>

// A value axis: the range it spans and its ticks, on 1, 2 or 5 times a
// power of ten, with labels that tell every tick apart.
struct TValueScale {
  double Low = -1;
  double High = 1;
  double Step = 0.5;
  // The multiples of Step from Low to High, 2 to 10 of them.
  std::vector<double> Ticks;
  // How the labels are written: digits after the point, in fixed or in
  // scientific notation.
  int Decimals = 1;
  bool Scientific = false;

  // A tick's label; the full stop becomes decimalSeparator.
  std::string Label(double tick, char decimalSeparator = '.') const;
  // Where value lies on the scale: 0 at Low, 1 at High; finite for any
  // finite value, even on a scale from -1e308 to 1e308.
  double Fraction(double value) const;

  bool operator==(const TValueScale&) const = default;
};

// The scale on which every value shows, with a little room above and below.
// Values that are not finite are left out; with none at all the scale is
// that of 0. A range too narrow to tell its ends apart (a flat line, one
// point, two readings a rounding step apart) is shown as 1% either side of
// the value, or as -1 to 1 around 0.
TValueScale ValueScaleOf(std::span<const double> values);
