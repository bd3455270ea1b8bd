#pragma once

#include <optional>
#include <string_view>

// The band a reading should stay in; a side without a limit is open.
struct TLimits {
  std::optional<double> Low, High;
  // How far inside a value must come back before an alarm ends.
  double Hysteresis = 0;

  bool Any() const { return Low.has_value() || High.has_value(); }
};

enum class TDirection { Inside, Above, Below };
enum class TBound { Low, High };

// "above", "below" or "inside", as the session record names it.
std::string_view DirectionName(TDirection direction);

// A reading that left its band, switched side or came back: the side it
// went to, the reading and the limit crossed (for a return, the limit it
// had been beyond).
struct TCrossing {
  TDirection Direction = TDirection::Inside;
  double Value = 0;
  TBound Bound = TBound::High;
  double Limit = 0;
};

// How a panel looks: as always, in alarm, or with limits and no number.
enum class TLook { Normal, Alarm, NoNumber };

// Which side of the band the readings are on. Exactly on a limit is
// inside; once out, a value is back only when inside by more than the
// hysteresis, so a value dithering on a limit does not flood the record.
class TBandWatch {
public:
  const TLimits& Limits() const { return Band; }
  TDirection Side() const { return Where; }
  TLook Look() const;

  // A reading; none when it is not a number. That never changes the side:
  // one silent poll between two values out of band is not two crossings.
  std::optional<TCrossing> Judge(std::optional<double> reading);
  // New limits judge the last number at once; a limit removed while the
  // value was beyond it ends the alarm.
  std::optional<TCrossing> SetLimits(const TLimits& limits);

private:
  TDirection NextSide(double value) const;
  std::optional<TCrossing> MoveTo(TDirection next, double value, const TLimits& before);

  TLimits Band;
  TDirection Where = TDirection::Inside;
  std::optional<double> LastNumber;
  bool LastNotNumber = false;
};
