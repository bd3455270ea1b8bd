#pragma once

#include "platform/LocalTime.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// "2026-12-08T14:03:07.250+01:00": ISO 8601 local time with milliseconds and
// the distance from UTC.
std::string IsoTime(const platform::LocalTime& time);

// Milliseconds since 1970-01-01 UTC of a moment.
std::int64_t EpochMs(const platform::LocalTime& time);

// The moment of IsoTime's text, in milliseconds since 1970-01-01 UTC; none
// unless the text is exactly that form with a real date and time.
std::optional<std::int64_t> EpochMsOfIsoTime(std::string_view text);

// "14:03:07.250", the log view's line prefix.
std::string ClockTime(const platform::LocalTime& time);

// "2026-12-08", the day's name.
std::string DayName(const platform::LocalTime& time);

// Days since 1970-01-01 of a calendar date (negative before it).
long DayNumber(int year, int month, int day);

// The day number of a "YYYY-MM-DD" name that is a real calendar date.
std::optional<long> DayNumberOfName(std::string_view name);
