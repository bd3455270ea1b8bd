#include "cli/PortsCommand.h"

#include "cli/ReadingJson.h"
#include "record/Escape.h"
#include "serial/PortDiscovery.h"
#include "serial/SerialPortList.h"

#include <string>

void ListPorts(std::ostream& out, bool json) {
  TSerialPortList ports;
  ports.Refresh();
  TNameValueList targets;
  CollectDeviceTargets(targets);
  out << (json ? "[" : "");
  for (std::size_t i = 0; i < ports.Count(); ++i) {
    const TSerialPort& port = ports[i];
    const TNameValue* target = FindName(targets, std::to_string(port.Number));
    const std::string device = target ? target->Value : std::string();
    if (json)
      out << (i == 0 ? "\n" : ",\n") << "  {\"name\":" << JsonString(port.Name)
          << ",\"description\":" << JsonString(port.Description)
          << ",\"device\":" << JsonString(device) << "}";
    else
      out << port.Name << '\t' << EscapeField(port.Description) << '\t' << EscapeField(device)
          << '\n';
  }
  out << (json ? "\n]\n" : "");
  out.flush();
}
