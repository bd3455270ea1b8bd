#pragma once

#include <string>

namespace platform {

// Whether users other than the file's owner may read it. On Windows the
// access lists are not inspected and the answer is false.
bool ReadableByOthers(const std::string& path);

} // namespace platform
