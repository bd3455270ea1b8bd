#include "serial/SerialPortList.h"

#include "base/StrToInt.h"
#include "serial/PortDiscovery.h"

#include <algorithm>
#include <exception>

namespace {

// Without descriptions the ports are still listed, by name only.
TNameValueList DescriptionsOrNone() {
  TNameValueList descriptions;
  try {
    CollectDescriptions(descriptions);
  } catch (const std::exception&) {
    descriptions.clear();
  }
  return descriptions;
}

void Describe(TNameValueList& found, const TNameValueList& descriptions) {
  for (TNameValue& entry : found) {
    std::string description;
    if (!IsRedirectedPort(entry.Value, description))
      if (const TNameValue* known = FindName(descriptions, entry.Name))
        description = known->Value;
    entry.Value = std::move(description);
  }
}

} // namespace

TSerialPortList::TSerialPortList() = default;

void TSerialPortList::Refresh() {
  TNameValueList found;
  CollectDeviceTargets(found);
  Describe(found, DescriptionsOrNone());
  // Ports still present keep their objects; each takes one entry of found.
  std::vector<std::shared_ptr<TSerialPort>> kept;
  for (std::shared_ptr<TSerialPort>& port : Ports) {
    const std::string name = std::to_string(port->Number);
    auto entry = std::ranges::find_if(found, [&](const TNameValue& e) { return e.Name == name; });
    if (entry == found.end())
      continue;
    port->Description = entry->Value;
    found.erase(entry);
    kept.push_back(std::move(port));
  }
  for (const TNameValue& entry : found)
    kept.push_back(std::make_shared<TSerialPort>(StrToInt(entry.Name), entry.Value));
  std::sort(kept.begin(), kept.end(),
            [](const auto& a, const auto& b) { return a->Number < b->Number; });
  Ports = std::move(kept);
}

void TSerialPortList::FillStrings(TPortStrings& strings) {
  Refresh();
  strings.clear();
  for (const std::shared_ptr<TSerialPort>& port : Ports)
    strings.push_back({port->DisplayName(), port});
}

std::shared_ptr<TSerialPort> TSerialPortList::FindByName(const std::string& name) {
  const std::int32_t number = TSerialPort::PortNumberFromName(name);
  Refresh();
  for (const std::shared_ptr<TSerialPort>& port : Ports)
    if (port->Number == number)
      return port;
  return nullptr;
}

std::size_t TSerialPortList::Count() const {
  return Ports.size();
}

const TSerialPort& TSerialPortList::operator[](std::size_t i) const {
  return *Ports.at(i);
}
