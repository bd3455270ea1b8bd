#include "platform/posix/devices/ComPortNumbers.h"

#include <filesystem>
#include <set>

namespace platform::posix {

namespace fs = std::filesystem;

namespace {

bool IsLinked(const SerialDevice& device, const std::vector<DosDeviceLink>& links) {
  for (const DosDeviceLink& link : links)
    if (link.File == device.NodeId)
      return true;
  return false;
}

// Links a device under the lowest number not in taken; false when the folder
// cannot take the link.
bool LinkDevice(const SerialDevice& device, std::set<int>& taken,
                std::vector<DosDeviceLink>& links) {
  const fs::path dir = DosDevicesDir();
  const std::string target = device.StablePath.empty() ? device.Node : device.StablePath;
  for (int number = 1; number < 0x7FFFFFFF; ++number) {
    if (taken.contains(number))
      continue;
    const std::string name = "com" + std::to_string(number);
    std::error_code error;
    fs::create_symlink(target, dir / name, error);
    // Someone else (the simulator, a second instance) took it in between.
    if (error == std::errc::file_exists) {
      taken.insert(number);
      continue;
    }
    if (error)
      return false;
    taken.insert(number);
    links.push_back({name, target, device.NodeId});
    return true;
  }
  return false;
}

} // namespace

int ComNumberOfDevice(const SerialDevice& device, const std::vector<DosDeviceLink>& links) {
  int lowest = 0;
  for (const DosDeviceLink& link : links) {
    const int number = ComNumberOfLinkName(link.Name);
    if (number > 0 && link.File == device.NodeId && (lowest == 0 || number < lowest))
      lowest = number;
  }
  return lowest;
}

void NumberNewDevices(const std::vector<SerialDevice>& devices, std::vector<DosDeviceLink>& links) {
  std::set<int> taken;
  for (const DosDeviceLink& link : links)
    if (const int number = ComNumberOfLinkName(link.Name); number > 0)
      taken.insert(number);
  bool dirReady = false;
  for (const SerialDevice& device : devices) {
    if (IsLinked(device, links))
      continue;
    if (!dirReady) {
      std::error_code error;
      fs::create_directories(DosDevicesDir(), error);
      dirReady = true;
    }
    if (!LinkDevice(device, taken, links))
      return;
  }
}

} // namespace platform::posix
