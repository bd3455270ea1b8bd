#include "platform/FilePrivacy.h"

#include <sys/stat.h>

namespace platform {

bool ReadableByOthers(const std::string& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0)
    return false;
  return (info.st_mode & (S_IRGRP | S_IROTH)) != 0;
}

std::string OwnerOnlyHint(const std::string&) {
  return "chmod 600 it";
}

} // namespace platform
