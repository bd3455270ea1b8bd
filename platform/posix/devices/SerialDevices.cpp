#include "platform/posix/devices/SerialDevices.h"

#include "platform/posix/Directory.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <string_view>

namespace platform::posix {

namespace {

DeviceRoots& Roots() {
  static DeviceRoots roots;
  return roots;
}

std::string FileName(const std::string& path) {
  return path.substr(path.rfind('/') + 1);
}

// Names are looked up through the device link and "..", which the system
// resolves from where the link leads: a tty's device, the USB interface
// above it, the USB device above that.
std::string UsbDescription(const Directory& tty, const std::string& interface) {
  for (const std::string& file :
       {interface + "/interface", interface + "/../product", interface + "/../manufacturer"})
    if (std::string text = tty.ReadFirstLine(file); !text.empty())
      return text;
  return "USB Serial Port";
}

// Legacy ports are registered whether or not a UART answers at their
// address; the kernel reports the missing ones as UART type 0.
bool IsPhantomPort(const Directory& tty) {
  return tty.ReadFirstLine("type") == "0";
}

// Device node -> the stable name udev gave it.
std::map<FileId, std::string> StableNames(const std::string& devRoot) {
  const std::string byIdPath = devRoot + "/serial/by-id";
  const Directory byId(byIdPath);
  std::map<FileId, std::string> names;
  for (const std::string& name : byId.Names())
    if (std::optional<FileId> node = byId.FileIdOf(name))
      names.emplace(*node, byIdPath + "/" + name);
  return names;
}

// ttyS2 before ttyS10: the trailing numbers compare as numbers.
bool NaturalLess(std::string_view a, std::string_view b) {
  const auto numberStart = [](std::string_view s) {
    std::size_t start = s.size();
    while (start > 0 && std::isdigit(static_cast<unsigned char>(s[start - 1])))
      --start;
    return start;
  };
  const std::size_t aStart = numberStart(a);
  const std::size_t bStart = numberStart(b);
  if (const int order = a.substr(0, aStart).compare(b.substr(0, bStart)); order != 0)
    return order < 0;
  const std::string_view aNumber = a.substr(aStart);
  const std::string_view bNumber = b.substr(bStart);
  if (aNumber.size() != bNumber.size())
    return aNumber.size() < bNumber.size();
  return aNumber < bNumber;
}

// A tty the kernel keeps under devices/virtual (consoles, ptmx) has no
// device behind it. Telling them by their class link alone spares opening
// each of the dozens a machine has on every scan.
bool IsVirtualTty(const Directory& classTty, const std::string& name) {
  const std::optional<std::string> link = classTty.ReadLink(name);
  return link && link->find("/devices/virtual/") != std::string::npos;
}

// Fills in the description; false when the tty is not a serial device that
// really exists. Virtual consoles and pseudo-terminals have no device.
bool Describe(const Directory& tty, SerialDevice& device) {
  const std::optional<std::string> subsystem = tty.ReadLink("device/subsystem");
  if (!subsystem)
    return false;
  // A USB serial converter's tty hangs below the interface; an ACM modem's
  // device is the interface itself.
  if (FileName(*subsystem) == "usb-serial")
    device.Description = UsbDescription(tty, "device/..");
  else if (FileName(*subsystem) == "usb")
    device.Description = UsbDescription(tty, "device");
  else if (IsPhantomPort(tty))
    return false;
  else
    device.Description = "Communications Port";
  return true;
}

} // namespace

const DeviceRoots& CurrentDeviceRoots() {
  return Roots();
}

void SetDeviceRoots(const DeviceRoots& roots) {
  Roots() = roots;
}

std::vector<SerialDevice> FindSerialDevices() {
  const DeviceRoots& roots = Roots();
  const Directory classTty(roots.Sys + "/class/tty");
  const Directory dev(roots.Dev);
  // Read only once a device is found: most machines have none.
  std::optional<std::map<FileId, std::string>> stableNames;
  std::vector<SerialDevice> devices;
  for (const std::string& name : classTty.Names()) {
    if (IsVirtualTty(classTty, name))
      continue;
    const Directory tty(classTty, name);
    SerialDevice device;
    if (!Describe(tty, device))
      continue;
    const std::optional<FileId> node = dev.FileIdOf(name);
    if (!node)
      continue;
    device.KernelName = name;
    device.Node = roots.Dev + "/" + name;
    device.NodeId = *node;
    if (!stableNames)
      stableNames = StableNames(roots.Dev);
    if (auto stable = stableNames->find(*node); stable != stableNames->end())
      device.StablePath = stable->second;
    devices.push_back(std::move(device));
  }
  std::sort(devices.begin(), devices.end(), [](const SerialDevice& a, const SerialDevice& b) {
    return NaturalLess(a.KernelName, b.KernelName);
  });
  return devices;
}

} // namespace platform::posix
