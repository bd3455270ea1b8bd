#include "tests/support/FakeDeviceTree.h"

#include "platform/posix/devices/DosDeviceLinks.h"
#include "platform/posix/devices/SerialDevices.h"

#include <algorithm>
#include <fstream>
#include <stdexcept>

namespace fs = std::filesystem;

namespace {

void WriteFile(const fs::path& path, const std::string& text) {
  fs::create_directories(path.parent_path());
  std::ofstream(path) << text << "\n";
}

void Link(const fs::path& target, const fs::path& link) {
  fs::create_directories(link.parent_path());
  fs::create_symlink(target, link);
}

} // namespace

TFakeDeviceTree::TFakeDeviceTree() {
  for (const char* bus : {"usb", "usb-serial", "serial-base"})
    fs::create_directories(Sys() / "bus" / bus);
  fs::create_directories(Sys() / "class" / "tty");
  fs::create_directories(Dev());
  SetupApi = platform::LoadLibraryA("SetupApi.dll");
  if (!SetupApi)
    throw std::runtime_error("cannot load SetupApi.dll");
  UseRoots(Sys().string(), Dev().string());
}

TFakeDeviceTree::~TFakeDeviceTree() {
  const platform::posix::DeviceRoots real;
  try {
    UseRoots(real.Sys, real.Dev);
  } catch (const std::exception&) {
    // The library was loaded, so it takes roots; nothing more can be done here.
  }
  platform::FreeLibrary(SetupApi);
}

void TFakeDeviceTree::UseRoots(const std::string& sys, const std::string& dev) {
  platform::posix::SetDeviceRoots({sys, dev});
  using UseDeviceRoots = void(const char*, const char*);
  auto* use = reinterpret_cast<UseDeviceRoots*>(
      platform::GetProcAddress(SetupApi, "MarrowlinkUseDeviceRoots"));
  if (!use)
    throw std::runtime_error("SetupApi.dll cannot take a device tree");
  use(sys.c_str(), dev.c_str());
}

fs::path TFakeDeviceTree::Sys() const {
  return Home.Path() / "sys";
}

fs::path TFakeDeviceTree::Dev() const {
  return Home.Path() / "dev";
}

fs::path TFakeDeviceTree::DosDir() const {
  return platform::posix::DosDevicesDir();
}

fs::path TFakeDeviceTree::UsbDeviceDir(const std::string& tty) const {
  return Sys() / "devices" / "usb1" / ("1-" + tty);
}

void TFakeDeviceTree::AddTty(const std::string& tty, const fs::path& device) {
  const fs::path classDir = device / "tty" / tty;
  Link(device, classDir / "device");
  Link(classDir, Sys() / "class" / "tty" / tty);
  WriteFile(Dev() / tty, "");
}

void TFakeDeviceTree::AddUsbDevice(const std::string& tty, const UsbStrings& strings,
                                   const std::string& stableName) {
  const fs::path usbDevice = UsbDeviceDir(tty);
  const fs::path usbInterface = usbDevice / ("1-" + tty + ":1.0");
  fs::create_directories(usbInterface);
  if (!strings.Product.empty())
    WriteFile(usbDevice / "product", strings.Product);
  if (!strings.Manufacturer.empty())
    WriteFile(usbDevice / "manufacturer", strings.Manufacturer);
  if (!strings.Interface.empty())
    WriteFile(usbInterface / "interface", strings.Interface);
  // A converter's tty has a device of its own below the interface; a modem's
  // device is the interface.
  fs::path device = usbInterface;
  if (tty.starts_with("ttyUSB")) {
    device = usbInterface / tty;
    Link(Sys() / "bus" / "usb-serial", device / "subsystem");
  } else {
    Link(Sys() / "bus" / "usb", device / "subsystem");
  }
  AddTty(tty, device);
  if (!stableName.empty())
    Link(fs::path("..") / ".." / tty, Dev() / "serial" / "by-id" / stableName);
}

void TFakeDeviceTree::AddUart(const std::string& tty, int type) {
  const fs::path device = Sys() / "devices" / "platform" / "serial8250" / ("port." + tty);
  Link(Sys() / "bus" / "serial-base", device / "subsystem");
  AddTty(tty, device);
  WriteFile(device / "tty" / tty / "type", std::to_string(type));
}

void TFakeDeviceTree::SetProduct(const std::string& tty, const std::string& product) {
  WriteFile(UsbDeviceDir(tty) / "product", product);
}

void TFakeDeviceTree::Unplug(const std::string& tty) {
  fs::remove(Sys() / "class" / "tty" / tty);
  fs::remove(Dev() / tty);
  std::error_code error;
  for (const fs::directory_entry& entry : fs::directory_iterator(Dev() / "serial" / "by-id", error))
    if (fs::read_symlink(entry.path()).filename() == tty)
      fs::remove(entry.path());
}

std::string TFakeDeviceTree::AddPlainNode(const std::string& name) {
  WriteFile(Dev() / name, "");
  return Node(name);
}

std::string TFakeDeviceTree::Node(const std::string& tty) const {
  return (Dev() / tty).string();
}

void TFakeDeviceTree::AddLink(const std::string& name, const std::string& target) {
  Link(target, DosDir() / name);
}

void TFakeDeviceTree::RemoveLink(const std::string& name) {
  fs::remove(DosDir() / name);
}

void TFakeDeviceTree::AddDosFile(const std::string& name) {
  WriteFile(DosDir() / name, "");
}

std::string TFakeDeviceTree::LinkTarget(const std::string& name) const {
  std::error_code error;
  const fs::path target = fs::read_symlink(DosDir() / name, error);
  return error ? std::string() : target.string();
}

std::vector<std::string> TFakeDeviceTree::LinkNames() const {
  std::vector<std::string> names;
  std::error_code error;
  for (const fs::directory_entry& entry : fs::directory_iterator(DosDir(), error))
    if (entry.is_symlink())
      names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}
