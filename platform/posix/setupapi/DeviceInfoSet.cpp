#include "platform/posix/setupapi/DeviceInfoSet.h"

#include "platform/posix/devices/ComPortNumbers.h"

TDeviceInfoSet TDeviceInfoSet::PresentPorts() {
  using namespace platform::posix;
  const std::vector<DosDeviceLink> links = ReadDosDeviceLinks();
  TDeviceInfoSet set;
  for (const SerialDevice& device : FindSerialDevices()) {
    TPortDevice port{device.Description, {}};
    if (const int number = ComNumberOfDevice(device, links); number > 0)
      port.FriendlyName = device.Description + " (COM" + std::to_string(number) + ")";
    set.Devices.push_back(std::move(port));
  }
  return set;
}
