#pragma once

#include <string>

namespace platform {

// The folder of the program's kept data (session records and the like):
// $XDG_DATA_HOME/marrowlink (~/.local/share/marrowlink when unset) here,
// %LOCALAPPDATA%\marrowlink on Windows. It may not exist yet.
std::string DataDir();

} // namespace platform
