#pragma once

#include <stdexcept>
#include <string>

// The one failure type of the system: it carries the message the user sees.
class Exception : public std::runtime_error {
public:
  explicit Exception(const std::string& message) : std::runtime_error(message) {}
};
