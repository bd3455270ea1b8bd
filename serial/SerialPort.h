#pragma once

#include <cstdint>
#include <string>

// One COM port of the machine.
class TSerialPort {
public:
  TSerialPort(std::int32_t number, std::string description);

  std::int32_t Number;
  std::string Name; // COMn
  std::string Description;

  // "USB Serial Port (COM3)", or just "COM3" without a description.
  std::string DisplayName() const;
  // "\\.\COM3"
  std::string DevicePath() const;

  // COM03 gives 3 and COM$1F 31; anything that is not "COM" and an integer
  // raises "\"<name>\" is not valid port name".
  static std::int32_t PortNumberFromName(const std::string& name);
};
