#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// One reading as a line of InfluxDB's line protocol, UTF-8, without its line
// end: measurement marrowlink, the tags port and command, the field value (a
// float) for a number or else text (a string), and the moment in ns since
// 1970 UTC. An empty command has no command tag, as tags cannot be empty.
std::string InfluxLine(std::string_view port, std::string_view command,
                       std::optional<double> number, std::string_view text, std::int64_t epochNs);

// A tag's bytes as the protocol carries them: the session record's escapes
// for a backslash and control bytes (\x5C for a last backslash, which the
// protocol refuses even escaped), a backslash before comma, equals sign and
// space. What is stored reads back with UnescapeField.
std::string InfluxTag(std::string_view bytes);

// A string field's bytes, quoted: the session record's escapes for a
// backslash and control bytes, then the protocol's for backslash and quote.
std::string InfluxString(std::string_view bytes);
