#include "platform/Locale.h"

#include <windows.h>

namespace platform {

char DecimalSeparator() {
  char separator[4] = {};
  if (::GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, separator, sizeof separator) == 0 ||
      separator[0] == '\0')
    return '.';
  return separator[0];
}

} // namespace platform
