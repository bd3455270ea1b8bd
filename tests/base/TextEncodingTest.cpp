#include "platform/TextEncoding.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#ifdef _WIN32
#include <windows.h>
#endif

using platform::SystemToUtf8;
using platform::Utf8ToSystem;

namespace {

// "При" in code page 1251 and in UTF-8.
const std::string Cyrillic1251 = "\xCF\xF0\xE8";
const std::string CyrillicUtf8 = "\xD0\x9F\xD1\x80\xD0\xB8";

} // namespace

#ifdef _WIN32
// The ANSI code page holds: a Cyrillic Windows (code page 1251) shows its
// letters and sends them back as they were; a letter it lacks becomes '?'.
// MARROWLINK_EXPECT_ACP names the code page the run was set up for.
TEST(TextEncoding, TheSystemsCodePageHolds) {
  if (const char* expected = std::getenv("MARROWLINK_EXPECT_ACP")) {
    ASSERT_EQ(::GetACP(), std::strtoul(expected, nullptr, 10));
  }
  if (::GetACP() != 1251) {
    EXPECT_EQ(SystemToUtf8(Utf8ToSystem("abc")), "abc");
    GTEST_SKIP() << "code page " << ::GetACP() << ", not the Cyrillic one";
  }
  EXPECT_EQ(SystemToUtf8(Cyrillic1251), CyrillicUtf8);
  EXPECT_EQ(Utf8ToSystem(CyrillicUtf8), Cyrillic1251);
  EXPECT_EQ(Utf8ToSystem("\xC4\x89"), "?");
}
#else
// Latin-1: every byte shows as the character of its number and comes back
// unchanged, so no byte of an answer or a command is ever lost.
TEST(TextEncoding, EveryByteShowsAndComesBack) {
  std::string bytes;
  for (int byte = 0; byte < 256; ++byte)
    bytes += static_cast<char>(byte);
  EXPECT_EQ(Utf8ToSystem(SystemToUtf8(bytes)), bytes);
  EXPECT_EQ(SystemToUtf8(Cyrillic1251), "\xC3\x8F\xC3\xB0\xC3\xA8");
  EXPECT_EQ(Utf8ToSystem(CyrillicUtf8), "???") << "letters beyond Latin-1";
}
#endif
