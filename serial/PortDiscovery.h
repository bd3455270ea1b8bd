#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The passes that collect what the port list is built from, as name=value
// lists whose names are port numbers in decimal.
struct TNameValue {
  std::string Name;
  std::string Value;
};
using TNameValueList = std::vector<TNameValue>;

// The first entry with that name, or nullptr.
const TNameValue* FindName(const TNameValueList& list, const std::string& name);

// The DOS-device table's answer for deviceName (nullptr: every defined
// name) as NUL-ended texts, or empty when it has none. A buffer the answer
// does not fit is doubled and the query made again, up to 16 MB.
std::string QueryDosDeviceList(const char* deviceName, std::uint32_t firstBufferSize = 65535);

// number=target for every DOS-device name that is a port name; other names
// are skipped.
void CollectDeviceTargets(TNameValueList& targets);

// number=description for every present device of the "ports" class; raises
// on any failure, leaving descriptions partly filled.
void CollectDescriptions(TNameValueList& descriptions);

// Adds number=description for a friendly name such as "USB Serial Port
// (COM3)"; a name without a description or a port number adds nothing.
void AddFriendlyName(TNameValueList& descriptions, const std::string& friendlyName);

// Whether target is a port redirected from a remote-desktop client; if so,
// description becomes "Terminal Services Redirected COMn", or empty when the
// target does not end in a port name.
bool IsRedirectedPort(const std::string& target, std::string& description);
