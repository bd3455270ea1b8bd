#include "record/Retention.h"

#include "platform/Folders.h"
#include "record/TimeText.h"

namespace {

constexpr std::string_view Suffix = ".log";

} // namespace

int RemoveOldSessions(const std::string& folder, const platform::LocalTime& today, int keepDays) {
  if (keepDays <= 0)
    return 0;
  const long oldestKept = DayNumber(today.Year, today.Month, today.Day) - keepDays;
  int removed = 0;
  for (const std::string& name : platform::FileNames(folder)) {
    const std::string_view view = name;
    if (view.size() <= Suffix.size() || !view.ends_with(Suffix))
      continue;
    const auto day = DayNumberOfName(view.substr(0, view.size() - Suffix.size()));
    if (day && *day < oldestKept && platform::RemoveFile(platform::JoinPath(folder, name)))
      ++removed;
  }
  return removed;
}
