// Times TSerialPortList::Refresh over 64 USB serial ports on a fake device
// tree: the port selector refreshes twice on every drop-down.
#include "serial/SerialPortList.h"
#include "tests/support/FakeDeviceTree.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

int main(int argc, char** argv) {
  const int count = argc > 1 ? std::max(1, std::atoi(argv[1])) : 50;
  constexpr int ports = 64;
  TFakeDeviceTree tree;
  for (int i = 0; i < ports; ++i) {
    const std::string tty = "ttyUSB" + std::to_string(i);
    tree.AddUsbDevice(tty, {"USB Serial Port", "", "Maker"}, "usb-Maker-" + tty + "-if00");
  }

  TSerialPortList list;
  // The first refresh also numbers the new devices; it is not the usual one.
  list.Refresh();
  if (list.Count() != ports || list[0].Description != "USB Serial Port") {
    std::fprintf(stderr, "expected %d described ports, found %zu\n", ports, list.Count());
    return 1;
  }
  std::vector<double> times;
  for (int i = 0; i < count; ++i) {
    const auto start = std::chrono::steady_clock::now();
    list.Refresh();
    const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
    times.push_back(took.count());
  }
  std::sort(times.begin(), times.end());
  std::printf("ports=%d refreshes=%d min_ms=%.2f max_ms=%.2f\n", ports, count, times.front(),
              times.back());
  std::printf("refresh_ms_median=%.2f\n", times[times.size() / 2]);
  return 0;
}
