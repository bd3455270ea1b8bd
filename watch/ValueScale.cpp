#include "watch/ValueScale.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

namespace {

constexpr double Largest = std::numeric_limits<double>::max();
// A range narrower than this share of its values' magnitude shows no ticks
// a double can tell apart: it is taken for one value.
constexpr double NarrowShare = 1e-9;
// Closer to zero than this, 1% of a value is no longer a normal number.
constexpr double Tiny = 1e-300;
// Room left above and below the values, as a share of their range.
constexpr double Room = 0.01;
// About this many intervals between ticks over the values' range.
constexpr double Intervals = 5;
constexpr std::size_t MaxTicks = 10;
constexpr double Snap = 1e-6;
// Fixed notation from 1e-4 up to below 1e15, as the system writes numbers.
constexpr double FixedFrom = 1e-4;
constexpr double FixedBelow = 1e15;

// The power of ten at or below a positive finite magnitude.
int DecimalExponent(double magnitude) {
  int exponent = static_cast<int>(std::floor(std::log10(magnitude)));
  // log10 may miss by one next to a power of ten.
  if (std::pow(10.0, exponent) > magnitude)
    --exponent;
  else if (std::pow(10.0, exponent + 1) <= magnitude)
    ++exponent;
  return exponent;
}

// 1, 2 or 5 times 10 to the power Exponent.
struct TStep {
  double Value;
  int Exponent;
};

// The smallest such step not below rough (positive and finite).
TStep RoundStep(double rough) {
  const int exponent = DecimalExponent(rough);
  const double power = std::pow(10.0, exponent);
  for (const double factor : {1.0, 2.0, 5.0}) {
    if (rough <= factor * power)
      return {factor * power, exponent};
  }
  return {std::pow(10.0, exponent + 1), exponent + 1};
}

// a + b, or a where the sum would overflow.
double AddOr(double a, double b) {
  const double sum = a + b;
  return std::isfinite(sum) ? sum : a;
}

// The values' range with half its width (the width of -1e308 to 1e308 is
// no double), and the room left above and below them.
struct THalfRange {
  double Low;
  double High;
  double Half;
  double Room;
};

THalfRange RangeOf(std::span<const double> values) {
  double low = std::numeric_limits<double>::infinity();
  double high = -low;
  for (const double value : values) {
    if (std::isfinite(value)) {
      low = std::min(low, value);
      high = std::max(high, value);
    }
  }
  if (low > high)
    low = high = 0;
  const double half = high / 2 - low / 2;
  const double magnitude = std::max(std::abs(low), std::abs(high));
  if (magnitude >= Tiny && half >= NarrowShare / 2 * magnitude)
    return {low, high, half, half * (2 * Room)};
  // Too narrow to tell apart: 1% either side of the value, 1 around 0.
  const double middle = magnitude < Tiny ? 0 : low / 2 + high / 2;
  const double side = middle == 0 ? 1 : std::abs(middle) / 100;
  low = std::max(middle - side, -Largest);
  high = std::min(middle + side, Largest);
  return {low, high, high / 2 - low / 2, 0};
}

} // namespace

TValueScale ValueScaleOf(std::span<const double> values) {
  const THalfRange range = RangeOf(values);
  const TStep step = RoundStep(range.Half / (Intervals / 2));
  const double bottom = AddOr(range.Low, -range.Room);
  const double top = AddOr(range.High, range.Room);
  // A quotient one rounding off a whole number counts as that number: no
  // tick is added for the rounding alone.
  double first = std::floor(bottom / step.Value + Snap);
  double last = std::ceil(top / step.Value - Snap);
  TValueScale scale;
  scale.Step = step.Value;
  scale.Low = first * step.Value;
  if (!std::isfinite(scale.Low)) {
    scale.Low = bottom;
    ++first;
  }
  scale.High = last * step.Value;
  if (!std::isfinite(scale.High)) {
    scale.High = top;
    --last;
  }
  // Adding zero turns -0 into 0.
  for (double k = first; k <= last && scale.Ticks.size() < MaxTicks; ++k)
    scale.Ticks.push_back(k * step.Value + 0.0);

  const double largest = std::max(std::abs(scale.Low), std::abs(scale.High));
  scale.Scientific = largest < FixedFrom || largest >= FixedBelow;
  scale.Decimals = std::max(0, (scale.Scientific ? DecimalExponent(largest) : 0) - step.Exponent);
  return scale;
}

std::string TValueScale::Label(double tick, char decimalSeparator) const {
  // On its multiple of the step, a tick summed up step by step (or -0)
  // reads as the tick it is.
  const double value = std::round(tick / Step) * Step + 0.0;
  char text[64];
  const std::to_chars_result written = std::to_chars(
      std::begin(text), std::end(text), value,
      Scientific ? std::chars_format::scientific : std::chars_format::fixed, Decimals);
  std::string label(text, written.ptr);
  std::replace(label.begin(), label.end(), '.', decimalSeparator);
  return label;
}

double TValueScale::Fraction(double value) const {
  // In halves: the width of the widest scales is no double.
  return (value / 2 - Low / 2) / (High / 2 - Low / 2);
}
