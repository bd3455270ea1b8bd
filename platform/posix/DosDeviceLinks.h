#pragma once

#include <string>

namespace platform::posix {

// The folder of symbolic links that name DOS devices: dosdevices/com7 ->
// /dev/ttyUSB0 makes COM7.
std::string DosDevicesDir();

// Turns a Win32 device path ("\\.\COM3") into the Linux path its link names;
// any other path is returned as it is. A name without a link resolves to a
// path that does not exist.
std::string ResolveDevicePath(const std::string& path);

} // namespace platform::posix
