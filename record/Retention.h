#pragma once

#include "platform/LocalTime.h"

#include <string>

// Removes the session files of folder (named YYYY-MM-DD.log, a real date)
// whose day lies more than keepDays before today's and also more than
// keepDays before the newest session file dated before today; every other
// file stays. A clock set ahead (a flat battery, a bad time server) thus
// removes nothing the true date would keep, and a file dated after today
// always stays. keepDays 0 or less keeps all. Returns how many were
// removed; a file that cannot be removed is left for the next start.
int RemoveOldSessions(const std::string& folder, const platform::LocalTime& today, int keepDays);
