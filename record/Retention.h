#pragma once

#include "platform/LocalTime.h"

#include <string>

// Removes the session files of folder (named YYYY-MM-DD.log, a real date)
// whose day lies more than keepDays before today's; every other file stays.
// keepDays 0 or less keeps all. Returns how many were removed; a file that
// cannot be removed is left for the next start.
int RemoveOldSessions(const std::string& folder, const platform::LocalTime& today, int keepDays);
