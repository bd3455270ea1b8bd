#pragma once

#include "platform/posix/devices/DosDeviceLinks.h"
#include "platform/posix/devices/SerialDevices.h"

#include <vector>

namespace platform::posix {

// The lowest COM number whose link leads to the device; 0 when none does.
int ComNumberOfDevice(const SerialDevice& device, const std::vector<DosDeviceLink>& links);

// Gives every device that no link leads to yet the lowest COM number that no
// link holds, dangling ones included (they keep their number for a device
// that comes back), and adds the new links to links. A device with a stable
// name is linked by it, so it keeps its number when re-plugged elsewhere.
void NumberNewDevices(const std::vector<SerialDevice>& devices, std::vector<DosDeviceLink>& links);

} // namespace platform::posix
