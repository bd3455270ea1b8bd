#pragma once

#include "platform/posix/FileId.h"

#include <optional>
#include <string>
#include <vector>

namespace platform::posix {

// The folder of symbolic links that name DOS devices: dosdevices/com7 ->
// /dev/ttyUSB0 makes COM7.
std::string DosDevicesDir();

// Turns a Win32 device path ("\\.\COM3") into the path of its link, found
// as FindDosDeviceLink finds it;
// any other path is returned as it is. A name without a link resolves to a
// path that does not exist.
std::string ResolveDevicePath(const std::string& path);

struct DosDeviceLink {
  std::string Name;           // the link's file name, as it is spelt
  std::string Target;         // the link's text
  std::optional<FileId> File; // the file it leads to; empty when that is gone
};

// Every symbolic link in the folder, in order of name.
std::vector<DosDeviceLink> ReadDosDeviceLinks();

// The link of that file name, if there is one.
std::optional<DosDeviceLink> ReadDosDeviceLink(const std::string& fileName);

// The link of that DOS name, in any case: comN, COMN and ComN all find a
// link named COM7 or com7.
std::optional<DosDeviceLink> FindDosDeviceLink(const std::string& name);

// n for a link named comN (any case, decimal digits, n > 0), otherwise 0.
int ComNumberOfLinkName(const std::string& name);

} // namespace platform::posix
