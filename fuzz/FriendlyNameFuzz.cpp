#include "base/StrToInt.h"
#include "fuzz/FuzzCheck.h"
#include "serial/PortDiscovery.h"

#include <cstdint>
#include <string>

namespace {

bool IsBlank(char c) {
  return static_cast<unsigned char>(c) <= ' ';
}

// Everything before the last "(COM" is the description, trimmed, except
// that "(COM" marks opening the name are dropped while nothing precedes
// them; the text between the last mark and the next ")" must be a port
// number.
TNameValueList Reference(std::string name) {
  while (name.starts_with("(COM"))
    name.erase(0, 4);
  const std::size_t mark = name.rfind("(COM");
  if (mark == std::string::npos)
    return {};
  const std::size_t close = name.find(')', mark);
  if (close == std::string::npos)
    return {};
  const auto number = TryStrToInt(name.substr(mark + 4, close - mark - 4));
  if (!number)
    return {};
  std::size_t begin = 0, end = mark;
  while (begin < end && IsBlank(name[begin]))
    ++begin;
  while (end > begin && IsBlank(name[end - 1]))
    --end;
  return {{std::to_string(*number), name.substr(begin, end - begin)}};
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string name(reinterpret_cast<const char*>(data), size);
  TNameValueList found;
  AddFriendlyName(found, name);
  const TNameValueList expected = Reference(name);
  Require(found.size() == expected.size(), "one entry exactly when the reference finds one");
  if (!found.empty())
    Require(found[0].Name == expected[0].Name && found[0].Value == expected[0].Value,
            "number and description agree with the reference");

  // The same text as a DOS-device target.
  std::string description = "unchanged";
  const bool redirected = IsRedirectedPort(name, description);
  Require(redirected == (name.find("\\Device\\RdpDrPort\\") != std::string::npos),
          "redirected exactly when the target names the redirector");
  if (!redirected)
    Require(description == "unchanged", "other targets leave the description alone");
  else if (!description.empty())
    Require(description.starts_with("Terminal Services Redirected COM") &&
                name.ends_with(description.substr(29)),
            "a redirected port is described by the target's last part");
  return 0;
}
