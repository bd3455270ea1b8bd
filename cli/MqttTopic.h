#pragma once

#include <string>
#include <string_view>

// <prefix>/<port>/<command>. A command is one topic level: the bytes that
// would split it or act as wildcards (/ + #), NUL, control bytes, those
// above 126 and % itself are written %HH.
std::string ReadingTopic(std::string_view prefix, std::string_view port, std::string_view command);

// marrowlink/<host name>, or marrowlink alone when the host has no name.
std::string DefaultTopicPrefix(const std::string& hostName);

// <prefix>/status/<port>: "online" or "offline", retained, for a poll's port.
std::string StatusTopic(std::string_view prefix, std::string_view port);
