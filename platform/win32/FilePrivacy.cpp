#include "platform/FilePrivacy.h"

namespace platform {

bool ReadableByOthers(const std::string&) {
  return false;
}

} // namespace platform
