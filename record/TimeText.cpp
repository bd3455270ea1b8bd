#include "record/TimeText.h"

#include <cstdio>
#include <cstdlib>

namespace {

bool IsLeapYear(int year) {
  return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month) {
  constexpr int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && IsLeapYear(year) ? 29 : days[month - 1];
}

std::optional<int> Digits(std::string_view text) {
  int value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9')
      return std::nullopt;
    value = value * 10 + (c - '0');
  }
  return value;
}

} // namespace

std::string IsoTime(const platform::LocalTime& time) {
  const int offset = std::abs(time.OffsetMinutes);
  char text[40];
  std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d.%03d%c%02d:%02d", time.Year,
                time.Month, time.Day, time.Hour, time.Minute, time.Second, time.Millisecond,
                time.OffsetMinutes < 0 ? '-' : '+', offset / 60, offset % 60);
  return text;
}

std::int64_t EpochMs(const platform::LocalTime& time) {
  const std::int64_t seconds =
      static_cast<std::int64_t>(DayNumber(time.Year, time.Month, time.Day)) * 86400 +
      time.Hour * 3600 + time.Minute * 60 + time.Second - time.OffsetMinutes * 60;
  return seconds * 1000 + time.Millisecond;
}

std::optional<std::int64_t> EpochMsOfIsoTime(std::string_view text) {
  // "2026-12-08T14:03:07.250+01:00"
  constexpr std::string_view form = "dddd-dd-ddTdd:dd:dd.ddd+dd:dd";
  if (text.size() != form.size())
    return std::nullopt;
  for (std::size_t i = 0; i < form.size(); ++i) {
    const bool digitHere = text[i] >= '0' && text[i] <= '9';
    if (form[i] == 'd'   ? !digitHere
        : form[i] == '+' ? text[i] != '+' && text[i] != '-'
                         : text[i] != form[i])
      return std::nullopt;
  }
  if (!DayNumberOfName(text.substr(0, 10)))
    return std::nullopt;
  const auto field = [&](std::size_t at, std::size_t size) {
    return *Digits(text.substr(at, size));
  };
  platform::LocalTime time;
  time.Year = field(0, 4);
  time.Month = field(5, 2);
  time.Day = field(8, 2);
  time.Hour = field(11, 2);
  time.Minute = field(14, 2);
  time.Second = field(17, 2);
  time.Millisecond = field(20, 3);
  const int offsetHours = field(24, 2);
  const int offsetMinutes = field(27, 2);
  // A leap second's 60 is not among the times the program writes.
  if (time.Hour > 23 || time.Minute > 59 || time.Second > 59 || offsetHours > 23 ||
      offsetMinutes > 59)
    return std::nullopt;
  time.OffsetMinutes = (offsetHours * 60 + offsetMinutes) * (text[23] == '-' ? -1 : 1);
  return EpochMs(time);
}

std::string ClockTime(const platform::LocalTime& time) {
  char text[20];
  std::snprintf(text, sizeof text, "%02d:%02d:%02d.%03d", time.Hour, time.Minute, time.Second,
                time.Millisecond);
  return text;
}

std::string DayName(const platform::LocalTime& time) {
  char text[20];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d", time.Year, time.Month, time.Day);
  return text;
}

// The proleptic Gregorian calendar counted from March, so the leap day
// falls at the end of a counted year.
long DayNumber(int year, int month, int day) {
  const long y = year - (month <= 2 ? 1 : 0);
  const long era = (y >= 0 ? y : y - 399) / 400;
  const long yearOfEra = y - era * 400;
  const long dayOfYear = (153L * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  const long dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  return era * 146097 + dayOfEra - 719468;
}

std::optional<long> DayNumberOfName(std::string_view name) {
  if (name.size() != 10 || name[4] != '-' || name[7] != '-')
    return std::nullopt;
  const auto year = Digits(name.substr(0, 4));
  const auto month = Digits(name.substr(5, 2));
  const auto day = Digits(name.substr(8, 2));
  if (!year || !month || !day || *month < 1 || *month > 12 || *day < 1 ||
      *day > DaysInMonth(*year, *month))
    return std::nullopt;
  return DayNumber(*year, *month, *day);
}
