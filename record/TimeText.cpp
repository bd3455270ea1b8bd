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
