#include "platform/Locale.h"

#include <clocale>
#include <langinfo.h>

namespace platform {

// Read from the environment's locale each time rather than the process-wide
// C locale, which toolkits are free to change.
char DecimalSeparator() {
  const locale_t user = ::newlocale(LC_NUMERIC_MASK, "", static_cast<locale_t>(nullptr));
  if (user == static_cast<locale_t>(nullptr))
    return '.';
  const char* radix = ::nl_langinfo_l(RADIXCHAR, user);
  const char separator = (radix && radix[0] != '\0') ? radix[0] : '.';
  ::freelocale(user);
  return separator;
}

} // namespace platform
