#include "record/Retention.h"

#include "platform/Folders.h"
#include "record/TimeText.h"

#include <algorithm>
#include <optional>
#include <utility>
#include <vector>

namespace {

constexpr std::string_view Suffix = ".log";

std::optional<long> SessionDay(std::string_view name) {
  if (name.size() <= Suffix.size() || !name.ends_with(Suffix))
    return std::nullopt;
  return DayNumberOfName(name.substr(0, name.size() - Suffix.size()));
}

} // namespace

int RemoveOldSessions(const std::string& folder, const platform::LocalTime& today, int keepDays) {
  if (keepDays <= 0)
    return 0;
  const long todayNumber = DayNumber(today.Year, today.Month, today.Day);
  std::vector<std::pair<long, std::string>> sessions;
  std::optional<long> newestBeforeToday;
  for (std::string& name : platform::FileNames(folder)) {
    const auto day = SessionDay(name);
    if (!day)
      continue;
    if (*day < todayNumber)
      newestBeforeToday = std::max(newestBeforeToday.value_or(*day), *day);
    sessions.emplace_back(*day, std::move(name));
  }
  // The newest file before today is older than today, so a file older than
  // the kept days by that file's date is so by today's too. Without such a
  // file every file is today's or later.
  if (!newestBeforeToday)
    return 0;
  const long oldestKept = *newestBeforeToday - keepDays;
  int removed = 0;
  for (const auto& [day, name] : sessions)
    if (day < oldestKept && platform::RemoveFile(platform::JoinPath(folder, name)))
      ++removed;
  return removed;
}
