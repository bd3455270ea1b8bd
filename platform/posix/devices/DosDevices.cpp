#include "platform/DosDevices.h"

#include "platform/posix/devices/ComPortNumbers.h"
#include "platform/posix/devices/DosDeviceLinks.h"
#include "platform/posix/devices/SerialDevices.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

namespace platform {

namespace {

std::string UpperCase(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  return text;
}

// A link whose target is gone is a device that is not present: not defined.
std::vector<posix::DosDeviceLink> DefinedLinks(std::vector<posix::DosDeviceLink> links) {
  std::erase_if(links, [](const posix::DosDeviceLink& link) { return !link.File; });
  return links;
}

// Stores each text with its NUL and one NUL after them all.
std::uint32_t StoreMultiString(const std::vector<std::string>& texts, char* buffer,
                               std::uint32_t maxChars) {
  std::size_t size = 1;
  for (const std::string& text : texts)
    size += text.size() + 1;
  if (!buffer || size > maxChars) {
    errno = static_cast<int>(ErrorInsufficientBuffer);
    return 0;
  }
  char* out = buffer;
  for (const std::string& text : texts) {
    std::memcpy(out, text.data(), text.size());
    out += text.size();
    *out++ = '\0';
  }
  *out = '\0';
  return static_cast<std::uint32_t>(size);
}

std::vector<std::string> AllNames() {
  std::vector<posix::DosDeviceLink> links = posix::ReadDosDeviceLinks();
  posix::NumberNewDevices(posix::FindSerialDevices(), links);
  std::vector<std::string> names;
  for (const posix::DosDeviceLink& link : DefinedLinks(std::move(links)))
    names.push_back(UpperCase(link.Name));
  std::sort(names.begin(), names.end());
  return names;
}

} // namespace

const std::uint32_t ErrorInsufficientBuffer = ERANGE;

std::uint32_t QueryDosDeviceA(const char* deviceName, char* targetPath, std::uint32_t maxChars) {
  if (!deviceName)
    return StoreMultiString(AllNames(), targetPath, maxChars);
  if (std::optional<posix::DosDeviceLink> link = posix::FindDosDeviceLink(deviceName);
      link && link->File)
    return StoreMultiString({link->Target}, targetPath, maxChars);
  errno = ENOENT;
  return 0;
}

} // namespace platform
