#include "platform/posix/DosDeviceLinks.h"

#include "platform/posix/ConfigDir.h"

#include <algorithm>
#include <cctype>

namespace platform::posix {

std::string DosDevicesDir() {
  return ConfigDir() + "/dosdevices";
}

std::string ResolveDevicePath(const std::string& path) {
  static constexpr std::string_view devicePrefix = "\\\\.\\";
  if (!path.starts_with(devicePrefix))
    return path;
  std::string name = path.substr(devicePrefix.size());
  // DOS names are case-insensitive; the links are kept in lower case.
  std::transform(name.begin(), name.end(), name.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  if (name.empty() || name.find('/') != std::string::npos)
    return DosDevicesDir() + "/.invalid-name";
  // Opening the link follows it to the device, wherever it points.
  return DosDevicesDir() + "/" + name;
}

} // namespace platform::posix
