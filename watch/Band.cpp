#include "watch/Band.h"

std::string_view DirectionName(TDirection direction) {
  switch (direction) {
  case TDirection::Above:
    return "above";
  case TDirection::Below:
    return "below";
  case TDirection::Inside:
    break;
  }
  return "inside";
}

TLook TBandWatch::Look() const {
  if (!Band.Any())
    return TLook::Normal;
  if (LastNotNumber)
    return TLook::NoNumber;
  return Where == TDirection::Inside ? TLook::Normal : TLook::Alarm;
}

TDirection TBandWatch::NextSide(double value) const {
  if (Band.High && value > *Band.High)
    return TDirection::Above;
  if (Band.Low && value < *Band.Low)
    return TDirection::Below;
  // In the band, but not yet far enough from the limit it was beyond.
  if (Where == TDirection::Above && Band.High && !(*Band.High - value > Band.Hysteresis))
    return TDirection::Above;
  if (Where == TDirection::Below && Band.Low && !(value - *Band.Low > Band.Hysteresis))
    return TDirection::Below;
  return TDirection::Inside;
}

std::optional<TCrossing> TBandWatch::MoveTo(TDirection next, double value, const TLimits& before) {
  if (next == Where)
    return std::nullopt;
  TCrossing crossing{next, value, TBound::High, 0};
  if (next == TDirection::Above) {
    crossing.Limit = *Band.High;
  } else if (next == TDirection::Below) {
    crossing.Bound = TBound::Low;
    crossing.Limit = *Band.Low;
  } else {
    // Back from the side it was on, over that side's limit as it stood.
    crossing.Bound = Where == TDirection::Above ? TBound::High : TBound::Low;
    crossing.Limit = Where == TDirection::Above ? *before.High : *before.Low;
  }
  Where = next;
  return crossing;
}

std::optional<TCrossing> TBandWatch::Judge(std::optional<double> reading) {
  LastNotNumber = !reading.has_value();
  if (!reading)
    return std::nullopt;
  LastNumber = reading;
  return MoveTo(NextSide(*reading), *reading, Band);
}

std::optional<TCrossing> TBandWatch::SetLimits(const TLimits& limits) {
  const TLimits before = Band;
  Band = limits;
  if (!LastNumber)
    return std::nullopt;
  return MoveTo(NextSide(*LastNumber), *LastNumber, before);
}
