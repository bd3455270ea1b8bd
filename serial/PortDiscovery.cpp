#include "serial/PortDiscovery.h"

#include "base/Exception.h"
#include "base/StrToInt.h"
#include "platform/DosDevices.h"
#include "platform/SystemError.h"
#include "serial/MainTools.h"
#include "serial/SerialPort.h"
#include "serial/SetupApi.h"

#include <algorithm>
#include <array>
#include <optional>

namespace {

// A machine with many devices has a larger name table than the first
// buffer holds; the buffer grows until it does, within reason.
constexpr std::uint32_t MaxDosDeviceBufferSize = 16 * 1024 * 1024;
constexpr std::size_t MaxDevices = 1024;
constexpr setupapi::DWORD FriendlyNameBufferSize = 1024;

std::optional<std::int32_t> TryPortNumber(const std::string& name) {
  try {
    return TSerialPort::PortNumberFromName(name);
  } catch (const Exception&) {
    return std::nullopt;
  }
}

std::string Trim(const std::string& text) {
  std::size_t begin = 0;
  std::size_t end = text.size();
  while (begin < end && static_cast<unsigned char>(text[begin]) <= ' ')
    ++begin;
  while (end > begin && static_cast<unsigned char>(text[end - 1]) <= ' ')
    --end;
  return text.substr(begin, end - begin);
}

std::string FirstTarget(const std::string& name) {
  const std::string targets = QueryDosDeviceList(name.c_str());
  return targets.substr(0, targets.find('\0'));
}

class TDeviceInfoSet {
public:
  explicit TDeviceInfoSet(setupapi::HDEVINFO handle) : Handle(handle) {}
  ~TDeviceInfoSet() { setupapi::SetupDiDestroyDeviceInfoList(Handle); }
  TDeviceInfoSet(const TDeviceInfoSet&) = delete;
  TDeviceInfoSet& operator=(const TDeviceInfoSet&) = delete;
  setupapi::HDEVINFO Get() const { return Handle; }

private:
  setupapi::HDEVINFO Handle;
};

// False at the end of the set.
bool ReadFriendlyName(const TDeviceInfoSet& set, setupapi::DWORD index, std::string& name) {
  setupapi::SP_DEVINFO_DATA info{};
  info.cbSize = sizeof(info);
  if (!setupapi::SetupDiEnumDeviceInfo(set.Get(), index, &info)) {
    const std::uint32_t code = platform::GetLastError();
    if (code == setupapi::ERROR_NO_MORE_ITEMS)
      return false;
    RaiseSystemError(code);
  }
  std::array<std::uint8_t, FriendlyNameBufferSize> buffer{};
  setupapi::DWORD type = 0;
  setupapi::DWORD size = 0;
  if (!setupapi::SetupDiGetDeviceRegistryPropertyA(set.Get(), &info, setupapi::SPDRP_FRIENDLYNAME,
                                                   &type, buffer.data(), FriendlyNameBufferSize,
                                                   &size))
    RaiseLastSystemError();
  const std::size_t length = size == 0 ? 0 : std::min<std::size_t>(size - 1, buffer.size());
  name.assign(reinterpret_cast<const char*>(buffer.data()), length);
  return true;
}

} // namespace

const TNameValue* FindName(const TNameValueList& list, const std::string& name) {
  for (const TNameValue& entry : list)
    if (entry.Name == name)
      return &entry;
  return nullptr;
}

std::string QueryDosDeviceList(const char* deviceName, std::uint32_t firstBufferSize) {
  for (std::uint32_t size = std::max<std::uint32_t>(firstBufferSize, 1);;
       size = std::min(size * 2, MaxDosDeviceBufferSize)) {
    std::vector<char> buffer(size);
    const std::uint32_t count = platform::QueryDosDeviceA(deviceName, buffer.data(), size);
    if (count > 0)
      return std::string(buffer.data(), std::min(count, size));
    if (platform::GetLastError() != platform::ErrorInsufficientBuffer ||
        size >= MaxDosDeviceBufferSize)
      return {};
  }
}

void CollectDeviceTargets(TNameValueList& targets) {
  targets.clear();
  std::string names = QueryDosDeviceList(nullptr);
  while (!names.empty()) {
    const std::size_t end = names.find('\0');
    const std::string name = names.substr(0, end);
    names.erase(0, end == std::string::npos ? end : end + 1);
    if (std::optional<std::int32_t> number = TryPortNumber(name))
      targets.push_back({std::to_string(*number), FirstTarget(name)});
  }
}

void CollectDescriptions(TNameValueList& descriptions) {
  setupapi::TSetupApiBinding binding;
  if (!binding.Loaded())
    throw Exception("Couldn't load setupapi.dll");
  setupapi::GUID portsClass{};
  setupapi::DWORD required = 0;
  if (!setupapi::SetupDiClassGuidsFromNameA("ports", &portsClass, 1, &required))
    RaiseLastSystemError();
  const setupapi::HDEVINFO handle =
      setupapi::SetupDiGetClassDevsA(&portsClass, nullptr, nullptr, setupapi::DIGCF_PRESENT);
  if (handle == setupapi::InvalidDevInfo())
    RaiseLastSystemError();
  const TDeviceInfoSet set(handle);
  std::string friendlyName;
  for (setupapi::DWORD index = 0; index < MaxDevices; ++index) {
    if (!ReadFriendlyName(set, index, friendlyName))
      return;
    AddFriendlyName(descriptions, friendlyName);
  }
  throw Exception("More than 1024 devices enumerated");
}

void AddFriendlyName(TNameValueList& descriptions, const std::string& friendlyName) {
  static constexpr std::string_view portMark = "(COM";
  std::string prefix;
  std::string rest = friendlyName;
  for (std::size_t mark = rest.find(portMark); mark != std::string::npos;
       mark = rest.find(portMark)) {
    if (!prefix.empty())
      prefix += portMark;
    prefix += rest.substr(0, mark);
    rest.erase(0, mark + portMark.size());
  }
  const std::size_t close = rest.find(')');
  if (prefix.empty() || close == std::string::npos)
    return;
  if (std::optional<std::int32_t> number = TryStrToInt(rest.substr(0, close)))
    descriptions.push_back({std::to_string(*number), Trim(prefix)});
}

bool IsRedirectedPort(const std::string& target, std::string& description) {
  if (target.find("\\Device\\RdpDrPort\\") == std::string::npos)
    return false;
  const std::string name = target.substr(target.rfind('\\') + 1);
  description = TryPortNumber(name) ? "Terminal Services Redirected " + name : std::string();
  return true;
}
