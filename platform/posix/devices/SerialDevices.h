#pragma once

#include "platform/posix/FileId.h"

#include <string>
#include <vector>

namespace platform::posix {

// Where the device tree is read: /sys and /dev, or a fake tree built by a
// test in a temporary folder.
struct DeviceRoots {
  std::string Sys = "/sys";
  std::string Dev = "/dev";
};

const DeviceRoots& CurrentDeviceRoots();
void SetDeviceRoots(const DeviceRoots& roots);

// A serial device that really exists: it has a device behind its tty and, for
// a UART, a UART behind its port.
struct SerialDevice {
  std::string KernelName; // ttyUSB0
  std::string Node;       // /dev/ttyUSB0
  FileId NodeId;
  std::string StablePath;  // /dev/serial/by-id/..., empty when there is none
  std::string Description; // USB product or interface string, Communications Port
};

// The serial devices under <sys>/class/tty, in natural order of their names
// (ttyS2 before ttyS10).
std::vector<SerialDevice> FindSerialDevices();

} // namespace platform::posix
