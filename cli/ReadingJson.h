#pragma once

#include "line/Reading.h"

#include <string>
#include <string_view>

// A JSON string of bytes in the system's code page: converted to UTF-8 and
// quoted, with the escapes JSON requires.
std::string JsonString(std::string_view bytes);

// A finite number as JSON has it (no leading zeros, lone full stops or plus
// signs): the shortest text that reads back as the same double. InfluxDB's
// line protocol takes the same.
std::string JsonNumber(double value);

// {"time":..., "value":..., "raw":...}: the time as ISO 8601 with ms and
// offset, the shown value as a JSON number when it is one, else as a
// string, null for silence, and the answer as received with the session
// record's escapes.
std::string ReadingJson(const TReading& reading);

// The same with "port" and "command" first, for a JSON Lines file that
// holds every reading of a poll.
std::string ReadingJsonLine(const TReading& reading);
