#pragma once

#include <string>

namespace platform::posix {

// The folder of all per-user state: $XDG_CONFIG_HOME/marrowlink, or
// ~/.config/marrowlink when the variable is unset or not an absolute path.
std::string ConfigDir();

} // namespace platform::posix
