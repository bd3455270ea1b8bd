#pragma once

#include "watch/TrendSeries.h"

#include <string>
#include <string_view>
#include <vector>

// One column of a readings file: its name (UTF-8, as the file holds it) and
// its readings, a gap where the file holds silence or text.
struct TReadingsColumn {
  std::string Name;
  TTrendPoints Points;
};

// The columns of a readings file as the monitor's recorder writes it: the
// header "time,<column>...", then rows "<IsoTime>,<value>..." of RFC 4180
// fields. Anything else raises, with a message naming the file; nothing is
// returned in part. Rows out of time order are put in order.
std::vector<TReadingsColumn> ReadReadingsFile(const std::string& path);

// The same of a file's text; `name` is the file the messages name.
std::vector<TReadingsColumn> ParseReadings(std::string_view text, const std::string& name);
