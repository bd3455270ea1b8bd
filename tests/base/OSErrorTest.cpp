#include "base/OSError.h"
#include "base/Exception.h"
#include "platform/SystemError.h"

#include <gtest/gtest.h>

TEST(OSError, MessageCarriesCodeAndTrimmedSystemText) {
  const std::uint32_t code = 2;
  std::string text = platform::FormatSystemMessage(code);
  while (!text.empty() &&
         (text.back() == '.' || text.back() == '\n' || text.back() == '\r' || text.back() == ' '))
    text.pop_back();
  ASSERT_FALSE(text.empty());
  EXPECT_EQ(OSErrorMessage(code), "System Error.  Code: 2.\r\n" + text);
  EXPECT_EQ(OSErrorMessage(0), "A call to an OS function failed");
}

TEST(OSError, RaisesTheLastError) {
  platform::SetLastError(13);
  try {
    RaiseLastOSError();
    FAIL() << "no exception";
  } catch (const Exception& error) {
    EXPECT_EQ(std::string(error.what()).rfind("System Error.  Code: 13.\r\n", 0), 0U);
  }
}
