#include "serial/SerialPort.h"

#include "base/Exception.h"
#include "base/Format.h"
#include "base/StrToInt.h"

TSerialPort::TSerialPort(std::int32_t number, std::string description)
    : Number(number), Name(Format("COM%d", number)), Description(std::move(description)) {}

std::string TSerialPort::DisplayName() const {
  if (Description.empty())
    return Name;
  return Format("%s (%s)", Description, Name);
}

std::string TSerialPort::DevicePath() const {
  return "\\\\.\\" + Name;
}

std::int32_t TSerialPort::PortNumberFromName(const std::string& name) {
  if (name.starts_with("COM"))
    if (std::optional<std::int32_t> number = TryStrToInt(std::string_view(name).substr(3)))
      return *number;
  throw Exception(Format("\"%s\" is not valid port name", name));
}
