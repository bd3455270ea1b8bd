#pragma once

namespace platform {

// The decimal separator of the user's locale settings.
char DecimalSeparator();

} // namespace platform
