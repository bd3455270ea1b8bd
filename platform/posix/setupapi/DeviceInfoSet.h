#pragma once

#include <string>
#include <vector>

// A device of the "ports" class as the library reports it.
struct TPortDevice {
  std::string Description;  // USB Serial Port, Communications Port
  std::string FriendlyName; // "USB Serial Port (COM3)"; empty when no COM name leads to it
};

// The present serial devices, taken when the set is made. A pseudo-terminal
// registered by hand is not a device and is not in it.
struct TDeviceInfoSet {
  std::vector<TPortDevice> Devices;

  static TDeviceInfoSet PresentPorts();
};
