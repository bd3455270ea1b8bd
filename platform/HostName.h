#pragma once

#include <string>

namespace platform {

// The machine's name on the network (gethostname, GetComputerNameA); empty
// when the system does not say.
std::string HostName();

} // namespace platform
