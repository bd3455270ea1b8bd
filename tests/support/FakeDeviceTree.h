#pragma once

#include "platform/DynamicLibrary.h"
#include "tests/support/TempDir.h"

#include <filesystem>
#include <string>
#include <vector>

// A sysfs and /dev tree and a dosdevices folder in a temporary folder, seen
// by the platform layer and by the device-installation library alike (held
// loaded for the object's lifetime). Everything goes back at destruction.
class TFakeDeviceTree {
public:
  TFakeDeviceTree();
  ~TFakeDeviceTree();
  TFakeDeviceTree(const TFakeDeviceTree&) = delete;
  TFakeDeviceTree& operator=(const TFakeDeviceTree&) = delete;

  struct UsbStrings {
    std::string Product;
    std::string Interface;
    std::string Manufacturer;
  };

  // A USB serial converter (ttyUSBn) or modem (ttyACMn); stableName, when
  // given, is its name under /dev/serial/by-id.
  void AddUsbDevice(const std::string& tty, const UsbStrings& strings,
                    const std::string& stableName = "");
  // A built-in UART; type 0 is a legacy port with no UART behind it.
  void AddUart(const std::string& tty, int type);
  // Changes the product string of a USB device added before.
  void SetProduct(const std::string& tty, const std::string& product);
  // Takes the device away as unplugging does: its tty, node and stable name.
  void Unplug(const std::string& tty);

  // A device node with no device in sysfs, as a pseudo-terminal.
  std::string AddPlainNode(const std::string& name);
  std::string Node(const std::string& tty) const;

  // dosdevices/<name> -> target; a relative target is taken from the folder.
  void AddLink(const std::string& name, const std::string& target);
  void RemoveLink(const std::string& name);
  // A file in the dosdevices folder, for links that name it relatively.
  void AddDosFile(const std::string& name);
  // The link's text, or empty when there is no such link.
  std::string LinkTarget(const std::string& name) const;
  std::vector<std::string> LinkNames() const;

private:
  std::filesystem::path Sys() const;
  std::filesystem::path Dev() const;
  std::filesystem::path DosDir() const;
  std::filesystem::path UsbDeviceDir(const std::string& tty) const;
  void AddTty(const std::string& tty, const std::filesystem::path& device);
  void UseRoots(const std::string& sys, const std::string& dev);

  ScopedConfigHome Home;
  platform::ModuleHandle SetupApi = nullptr;
};
