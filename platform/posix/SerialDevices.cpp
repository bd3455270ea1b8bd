#include "platform/posix/SerialDevices.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <map>
#include <tuple>

namespace platform::posix {

namespace fs = std::filesystem;

namespace {

DeviceRoots& Roots() {
  static DeviceRoots roots;
  return roots;
}

std::string ReadFirstLine(const fs::path& file) {
  std::ifstream in(file);
  std::string line;
  std::getline(in, line);
  while (!line.empty() && std::isspace(static_cast<unsigned char>(line.back())))
    line.pop_back();
  return line;
}

bool Exists(const fs::path& path) {
  std::error_code error;
  return fs::exists(path, error);
}

fs::path Canonical(const fs::path& path) {
  std::error_code error;
  fs::path result = fs::canonical(path, error);
  return error ? fs::path() : result;
}

// Legacy ports are registered whether or not a UART answers at their
// address; the kernel reports the missing ones as UART type 0.
bool IsPhantomPort(const fs::path& ttyDir) {
  const fs::path type = ttyDir / "type";
  return Exists(type) && ReadFirstLine(type) == "0";
}

std::string UsbDescription(const fs::path& interfaceDir) {
  const fs::path usbDevice = interfaceDir.parent_path();
  for (const fs::path& file :
       {interfaceDir / "interface", usbDevice / "product", usbDevice / "manufacturer"})
    if (std::string text = ReadFirstLine(file); !text.empty())
      return text;
  return "USB Serial Port";
}

std::string Description(const fs::path& ttyDir) {
  const fs::path device = Canonical(ttyDir / "device");
  const std::string subsystem = Canonical(device / "subsystem").filename().string();
  // A USB serial converter's tty hangs below the interface; an ACM modem's
  // device is the interface itself.
  if (subsystem == "usb-serial")
    return UsbDescription(device.parent_path());
  if (subsystem == "usb")
    return UsbDescription(device);
  return "Communications Port";
}

// Device node -> the stable name udev gave it.
std::map<fs::path, std::string> StableNames(const std::string& devRoot) {
  std::map<fs::path, std::string> names;
  std::error_code error;
  for (const fs::directory_entry& entry :
       fs::directory_iterator(fs::path(devRoot) / "serial" / "by-id", error))
    if (fs::path node = Canonical(entry.path()); !node.empty())
      names.emplace(node, entry.path().string());
  return names;
}

// ttyS2 before ttyS10: the trailing numbers compare as numbers.
bool NaturalLess(const std::string& a, const std::string& b) {
  auto split = [](const std::string& s) {
    std::size_t digits = s.size();
    while (digits > 0 && std::isdigit(static_cast<unsigned char>(s[digits - 1])))
      --digits;
    const std::string number = s.substr(digits);
    return std::make_tuple(s.substr(0, digits), number.size(), number);
  };
  return split(a) < split(b);
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
  const std::map<fs::path, std::string> stableNames = StableNames(roots.Dev);
  std::vector<SerialDevice> devices;
  std::error_code error;
  for (const fs::directory_entry& entry :
       fs::directory_iterator(fs::path(roots.Sys) / "class" / "tty", error)) {
    // Virtual consoles and pseudo-terminals have no device behind them.
    const fs::path ttyDir = entry.path();
    if (!Exists(ttyDir / "device") || IsPhantomPort(ttyDir))
      continue;
    SerialDevice device;
    device.KernelName = ttyDir.filename().string();
    device.Node = (fs::path(roots.Dev) / device.KernelName).string();
    const fs::path node = Canonical(device.Node);
    if (node.empty())
      continue;
    if (auto stable = stableNames.find(node); stable != stableNames.end())
      device.StablePath = stable->second;
    device.Description = Description(ttyDir);
    devices.push_back(std::move(device));
  }
  std::sort(devices.begin(), devices.end(), [](const SerialDevice& a, const SerialDevice& b) {
    return NaturalLess(a.KernelName, b.KernelName);
  });
  return devices;
}

} // namespace platform::posix
