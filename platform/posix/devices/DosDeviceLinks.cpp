#include "platform/posix/devices/DosDeviceLinks.h"

#include "platform/posix/ConfigDir.h"
#include "platform/posix/Directory.h"

#include <algorithm>
#include <cctype>

namespace platform::posix {

std::string DosDevicesDir() {
  return ConfigDir() + "/dosdevices";
}

namespace {

std::string LowerCase(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

std::optional<DosDeviceLink> ReadLink(const Directory& dir, const std::string& name) {
  std::optional<std::string> target = dir.ReadLink(name);
  if (!target)
    return std::nullopt;
  return DosDeviceLink{name, std::move(*target), dir.FileIdOf(name)};
}

} // namespace

std::optional<DosDeviceLink> ReadDosDeviceLink(const std::string& fileName) {
  if (fileName.empty() || fileName.find('/') != std::string::npos)
    return std::nullopt;
  return ReadLink(Directory(DosDevicesDir()), fileName);
}

// DOS names are case-insensitive; links are normally named in lower case,
// so the whole folder is read only for a name spelt otherwise.
std::optional<DosDeviceLink> FindDosDeviceLink(const std::string& name) {
  for (const std::string& fileName : {LowerCase(name), name})
    if (std::optional<DosDeviceLink> link = ReadDosDeviceLink(fileName))
      return link;
  const std::string lower = LowerCase(name);
  for (DosDeviceLink& link : ReadDosDeviceLinks())
    if (LowerCase(link.Name) == lower)
      return std::move(link);
  return std::nullopt;
}

std::vector<DosDeviceLink> ReadDosDeviceLinks() {
  const Directory dir(DosDevicesDir());
  std::vector<DosDeviceLink> links;
  for (const std::string& name : dir.Names())
    if (std::optional<DosDeviceLink> link = ReadLink(dir, name))
      links.push_back(std::move(*link));
  std::sort(links.begin(), links.end(),
            [](const DosDeviceLink& a, const DosDeviceLink& b) { return a.Name < b.Name; });
  return links;
}

std::string ResolveDevicePath(const std::string& path) {
  static constexpr std::string_view devicePrefix = "\\\\.\\";
  if (!path.starts_with(devicePrefix))
    return path;
  const std::string name = path.substr(devicePrefix.size());
  if (name.empty() || name.find('/') != std::string::npos)
    return DosDevicesDir() + "/.invalid-name";
  // Opening the link follows it to the device, wherever it points; the link
  // the port list found, however it is spelt.
  const std::optional<DosDeviceLink> link = FindDosDeviceLink(name);
  return DosDevicesDir() + "/" + (link ? link->Name : LowerCase(name));
}

int ComNumberOfLinkName(const std::string& name) {
  if (name.size() < 4 || name.size() > 12)
    return 0;
  const auto lower = [](char c) {
    return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  };
  if (lower(name[0]) != 'c' || lower(name[1]) != 'o' || lower(name[2]) != 'm')
    return 0;
  long long number = 0;
  for (std::size_t i = 3; i < name.size(); ++i) {
    if (!std::isdigit(static_cast<unsigned char>(name[i])))
      return 0;
    number = number * 10 + (name[i] - '0');
  }
  return number > 0 && number <= 0x7FFFFFFF ? static_cast<int>(number) : 0;
}

} // namespace platform::posix
