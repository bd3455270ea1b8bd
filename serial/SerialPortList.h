#pragma once

#include "serial/SerialPort.h"

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

// One entry of the port selector: its text and the port it stands for. The
// entry shares the port, so it stays valid after a refresh drops the port.
struct TPortStringsEntry {
  std::string Text;
  std::shared_ptr<TSerialPort> Port;
};
using TPortStrings = std::vector<TPortStringsEntry>;

// The machine's COM ports, sorted by number. A port that stays present keeps
// its object across refreshes.
class TSerialPortList {
public:
  TSerialPortList();

  void Refresh();
  // Refreshes, then lists every port's display name with the port.
  void FillStrings(TPortStrings& strings);
  // Raises for a name that is not a port name (before refreshing); nullptr
  // when no such port is present.
  std::shared_ptr<TSerialPort> FindByName(const std::string& name);

  std::size_t Count() const;
  const TSerialPort& operator[](std::size_t i) const;

private:
  std::vector<std::shared_ptr<TSerialPort>> Ports;
};
