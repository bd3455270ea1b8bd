#include "platform/posix/registry/RegeditFormat.h"
#include "platform/Registry.h"
#include "tests/support/SettingsTestSupport.h"

#include <gtest/gtest.h>

using platform::posix::FormatRegedit;
using platform::posix::HiveKey;
using platform::posix::ParseRegedit;
using platform::posix::RegistryHive;

namespace {

std::string Dword(std::uint32_t value) {
  return {static_cast<char>(value & 0xFF), static_cast<char>((value >> 8) & 0xFF),
          static_cast<char>((value >> 16) & 0xFF), static_cast<char>(value >> 24)};
}

RegistryHive ParseOk(const std::string& text) {
  auto parsed = ParseRegedit(text);
  EXPECT_TRUE(parsed.Ok) << "line " << parsed.Line << ": " << parsed.Problem;
  return parsed.Hive;
}

const std::string MixedHive = "REGEDIT4\r\n"
                              "\r\n"
                              "; written by hand\r\n"
                              "[HKEY_CURRENT_USER\\Software\\Other]\r\n"
                              "@=\"default\"\r\n"
                              "\"Expand\"=hex(2):25,50,41,54,48,25,00\r\n"
                              "\"Blob\"=hex:00,ff,\\\r\n"
                              "  10\r\n"
                              "\"Quad\"=hex(b):01,02,03,04,05,06,07,08\r\n"
                              "\"None\"=hex(0):\r\n"
                              "\"Short\"=hex(4):01,02\r\n"
                              "\r\n"
                              "[HKEY_LOCAL_MACHINE\\Elsewhere]\r\n"
                              "\"N\"=dword:0000002a\r\n";

} // namespace

TEST(RegeditFormat, ReadsEveryKindOfValue) {
  const RegistryHive hive = ParseOk(MixedHive);
  ASSERT_EQ(hive.Keys().size(), 2u);
  const HiveKey& other = hive.Keys()[0];
  EXPECT_EQ(other.Path, "HKEY_CURRENT_USER\\Software\\Other");
  using V = platform::posix::HiveValue;
  const std::vector<V> expected = {
      {"", platform::RegSz, std::string("default\0", 8)},
      {"Expand", platform::RegExpandSz, std::string("%PATH%\0", 7)},
      {"Blob", platform::RegBinary, std::string("\x00\xff\x10", 3)},
      {"Quad", 0xB, "\x01\x02\x03\x04\x05\x06\x07\x08"},
      {"None", platform::RegNone, ""},
      {"Short", platform::RegDword, "\x01\x02"},
  };
  EXPECT_EQ(other.Values, expected);
  EXPECT_EQ(hive.Keys()[1].Values, (std::vector<V>{{"N", platform::RegDword, Dword(42)}}));
}

TEST(RegeditFormat, WritesWhatItReadsUnchanged) {
  const RegistryHive hive = ParseOk(MixedHive);
  const std::string written = FormatRegedit(hive);
  EXPECT_EQ(ParseOk(written), hive);
  // Types the program does not know keep their own notation.
  EXPECT_NE(written.find("\"Expand\"=hex(2):25,50,41,54,48,25,00\r\n"), std::string::npos);
  EXPECT_NE(written.find("\"Quad\"=hex(b):01,02,03,04,05,06,07,08\r\n"), std::string::npos);
  EXPECT_NE(written.find("\"Short\"=hex(4):01,02\r\n"), std::string::npos);
  EXPECT_NE(written.find("\"N\"=dword:0000002a\r\n"), std::string::npos);
  EXPECT_EQ(written.substr(0, 10), "REGEDIT4\r\n");
}

TEST(RegeditFormat, StringsQuoteOrFallBackToHex) {
  RegistryHive hive;
  HiveKey& key = hive.AddKey("HKEY_CURRENT_USER\\K");
  const std::string highBytes = "\x80\xA9\xFF caf\xE9";
  const std::string control = "tab\there\r\n";
  const std::string longText(5000, 'x');
  RegistryHive::SetValue(key, "Quote \"and\" back\\slash", platform::RegSz,
                         std::string("say \"hi\" C:\\dir\\\0", 17));
  RegistryHive::SetValue(key, "High", platform::RegSz, highBytes + '\0');
  RegistryHive::SetValue(key, "Control", platform::RegSz, control + '\0');
  RegistryHive::SetValue(key, "Long", platform::RegSz, longText + '\0');
  RegistryHive::SetValue(key, "NoNul", platform::RegSz, "abc");
  RegistryHive::SetValue(key, "Empty", platform::RegSz, std::string(1, '\0'));

  const std::string written = FormatRegedit(hive);
  EXPECT_NE(
      written.find("\"Quote \\\"and\\\" back\\\\slash\"=\"say \\\"hi\\\" C:\\\\dir\\\\\"\r\n"),
      std::string::npos);
  EXPECT_NE(written.find("\"High\"=\"" + highBytes + "\"\r\n"), std::string::npos);
  EXPECT_NE(written.find("\"Control\"=hex(1):74,61,62,09"), std::string::npos);
  EXPECT_NE(written.find("\"Long\"=hex(1):78,78"), std::string::npos);
  EXPECT_NE(written.find("\"NoNul\"=hex(1):61,62,63\r\n"), std::string::npos);
  EXPECT_NE(written.find("\"Empty\"=\"\"\r\n"), std::string::npos);
  for (std::size_t start = 0, end; (end = written.find("\r\n", start)) != std::string::npos;
       start = end + 2)
    EXPECT_LE(end - start, 80u) << "hex data must wrap";
  EXPECT_EQ(ParseOk(written), hive);
}

TEST(RegeditFormat, AcceptsHandEditedLayout) {
  const RegistryHive hive = ParseOk("REGEDIT4\n"
                                    "[HKEY_CURRENT_USER\\A]\n"
                                    "  \"x\" = dword:1  \n"
                                    "\n"
                                    "[hkey_current_user\\a]\n"
                                    "\"X\"=DWORD:FFFFFFFF\n"
                                    "\"y\"=\"\"\n");
  ASSERT_EQ(hive.Keys().size(), 1u) << "sections of one key merge, whatever the case";
  ASSERT_EQ(hive.Keys()[0].Values.size(), 2u);
  EXPECT_EQ(hive.Keys()[0].Values[0].Name, "x") << "the first spelling stays";
  EXPECT_EQ(hive.Keys()[0].Values[0].Data, Dword(0xFFFFFFFF)) << "the last value wins";
  EXPECT_EQ(hive.Keys()[0].Values[1].Data, std::string(1, '\0'));
}

TEST(RegeditFormat, RejectsDamageNamingTheLine) {
  struct Case {
    std::string Text;
    int Line;
  };
  const std::string head = "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\K]\r\n";
  const std::vector<Case> cases = {
      {"", 1},
      {"REGEDIT5\r\n", 1},
      {"REGEDIT4\r\n\"v\"=dword:1\r\n", 2},
      {head + "\"Port\"=\"CO", 4},
      {head + "\"v\"=hex:01,02,\\", 4},
      {head + "\"v\"=hex:01,02,\\\r\n", 4},
      {head + "\"v\"=\"C:\\dir\"\r\n", 4},
      {head + "\"v\"=dword:123456789\r\n", 4},
      {head + "\"v\"=hex:1g\r\n", 4},
      {head + "\"v\"=hex:01,,02\r\n", 4},
      {head + "\"v\"=hex(x):01\r\n", 4},
      {head + "\"v\"=text\r\n", 4},
      {head + "\"v\"=\"a\" trailing\r\n", 4},
      {head + "\"v\"=-\r\n", 4},
      {head + "[-HKEY_CURRENT_USER\\K]\r\n", 4},
      {head + "[HKEY_CURRENT_USER\\\\K]\r\n", 4},
      {head + "[HKEY_CURRENT_USER\\K\r\n", 4},
      {head + "\"v\"=\"a\"\r\n" + std::string("\x7f\x45LF\x02\x01\x01\0\0\0", 10), 5},
      {head + "\r\n\"v\"=\"" + std::string(1 << 20, 'a') + "\"\r\n", 5},
      {head + "garbage\r\n", 4},
  };
  for (const Case& c : cases) {
    const auto parsed = ParseRegedit(c.Text);
    EXPECT_FALSE(parsed.Ok) << c.Text.substr(0, 80);
    EXPECT_EQ(parsed.Line, c.Line) << c.Text.substr(0, 80) << ": " << parsed.Problem;
    EXPECT_FALSE(parsed.Problem.empty());
    EXPECT_TRUE(parsed.Hive.Keys().empty()) << "nothing half-read is kept";
  }
}

namespace {

// What regedit exports by default: version 5, Unicode. Beyond Latin-1 are
// the euro sign, a character outside the basic plane and a key's name.
const std::u16string WindowsExport =
    u"Windows Registry Editor Version 5.00\r\n"
    u"\r\n"
    u"[HKEY_CURRENT_USER\\Software\\Tavrin\\Private\\Marrowlink]\r\n"
    u"\"Port\"=\"COM3\"\r\n"
    u"\"Open\"=dword:00000001\r\n"
    u"\"Message\"=\"caf\u00e9 \u20ac \U0001F600\"\r\n"
    u"\"Path\"=hex(2):25,00,50,00,41,00,54,00,48,00,25,00,00,00\r\n"
    u"\"List\"=hex(7):61,00,00,00,e9,00,00,00,\\\r\n"
    u"  00,00\r\n"
    u"\"Odd\"=hex(1):41,00,42\r\n"
    u"\"Blob\"=hex:00,ff\r\n"
    u"\"Quad\"=hex(b):01,02,03,04,05,06,07,08\r\n"
    u"\r\n"
    u"[HKEY_CURRENT_USER\\Software\\\u65e5\u672c]\r\n"
    u"@=\"x\"\r\n";

RegistryHive ExpectedFromWindowsExport() {
  using V = platform::posix::HiveValue;
  RegistryHive hive;
  HiveKey& ours = hive.AddKey("HKEY_CURRENT_USER\\Software\\Tavrin\\Private\\Marrowlink");
  for (const V& value :
       std::vector<V>{{"Port", platform::RegSz, std::string("COM3\0", 5)},
                      {"Open", platform::RegDword, Dword(1)},
                      {"Message", platform::RegSz, std::string("caf\xE9 ? ?\0", 9)},
                      {"Path", platform::RegExpandSz, std::string("%PATH%\0", 7)},
                      {"List", platform::RegMultiSz, std::string("a\0\xE9\0\0", 5)},
                      {"Odd", platform::RegSz, "A"},
                      {"Blob", platform::RegBinary, std::string("\x00\xFF", 2)},
                      {"Quad", 0xB, "\x01\x02\x03\x04\x05\x06\x07\x08"}})
    RegistryHive::SetValue(ours, value.Name, value.Type, value.Data);
  RegistryHive::SetValue(hive.AddKey("HKEY_CURRENT_USER\\Software\\??"), "", platform::RegSz,
                         std::string("x\0", 2));
  return hive;
}

std::string ValueOf(const std::string& file, const std::string& name) {
  const auto parsed = ParseRegedit(file);
  EXPECT_TRUE(parsed.Ok) << "line " << parsed.Line << ": " << parsed.Problem;
  if (!parsed.Ok || parsed.Hive.Keys().empty())
    return "(none)";
  for (const auto& value : parsed.Hive.Keys()[0].Values)
    if (value.Name == name)
      return value.Data;
  return "(none)";
}

} // namespace

TEST(RegeditFormat, ReadsWindowsUnicodeExportsAsBytesAndWritesThemAsRegedit4) {
  const RegistryHive expected = ExpectedFromWindowsExport();
  const std::pair<const char*, std::string> files[] = {
      {"UTF-16LE", Utf16LeFile(WindowsExport)},
      {"UTF-8 with its mark", Utf8File(WindowsExport, true)},
      {"UTF-8 without a mark", Utf8File(WindowsExport, false)}};
  for (const auto& [kind, file] : files) {
    EXPECT_EQ(ParseOk(file), expected) << kind;
  }

  const std::string written = FormatRegedit(ParseOk(files[0].second));
  EXPECT_EQ(written.substr(0, 10), "REGEDIT4\r\n");
  // String data written as hex is the system's bytes again, as REGEDIT4 has it.
  EXPECT_NE(written.find("\"Path\"=hex(2):25,50,41,54,48,25,00\r\n"), std::string::npos);
  EXPECT_NE(written.find("\"List\"=hex(7):61,00,e9,00,00\r\n"), std::string::npos);
  EXPECT_EQ(ParseOk(written), expected);

  // A REGEDIT4 file saved in Unicode by an editor keeps REGEDIT4's bytes.
  const std::u16string regedit4 = u"REGEDIT4\r\n[HKEY_CURRENT_USER\\K]\r\n"
                                  u"\"Path\"=hex(2):25,50,25,00\r\n";
  EXPECT_EQ(ValueOf(Utf16LeFile(regedit4), "Path"), std::string("%P%\0", 4));
  EXPECT_EQ(ValueOf(Utf8File(regedit4, true), "Path"), std::string("%P%\0", 4));
}

TEST(RegeditFormat, DamagedUnicodeReadsAsFarAsItIsTextOrIsRefusedNamingTheLine) {
  const std::u16string head = u"Windows Registry Editor Version 5.00\r\n\r\n"
                              u"[HKEY_CURRENT_USER\\K]\r\n";
  // A surrogate without its partner is one unreadable character.
  const std::u16string loneSurrogates = u"\"v\"=\"a\xD800"
                                        u"b\xDC00"
                                        u"c\xDBFF\xDBFF\"\r\n"
                                        u";\xD800";
  EXPECT_EQ(ValueOf(Utf16LeFile(head + loneSurrogates), "v"), std::string("a?b?c??\0", 8));
  // In UTF-8 a byte that begins no character is the byte itself (a file
  // edited in Latin-1); an encoded surrogate is unreadable.
  const std::string utf8Head = Utf8File(head, false);
  // Overlong forms and values past U+10FFFF begin no character either.
  const std::string damaged = "caf\xE9 \xC0\xAF \xE0\x80\xAF \xF4\x90\x80\x80 \xE2\x82";
  EXPECT_EQ(ValueOf(utf8Head + "\"v\"=\"" + damaged + " \xED\xA0\x80\"", "v"),
            damaged + " ?" + '\0');

  std::string bigEndian = Utf16LeFile(head);
  for (std::size_t i = 0; i + 1 < bigEndian.size(); i += 2)
    std::swap(bigEndian[i], bigEndian[i + 1]);

  struct Case {
    const char* What;
    std::string File;
    int Line;
  };
  const std::vector<Case> cases = {
      {"an odd byte count", Utf16LeFile(head) + "\x41", 4},
      {"a UTF-16 mark alone", "\xFF\xFE", 1},
      {"a UTF-8 mark alone", "\xEF\xBB\xBF", 1},
      {"a NUL character", Utf16LeFile(head + u"\"v\"=\"a" + std::u16string(1, u'\0') + u"\"\r\n"),
       4},
      {"UTF-16 big-endian", bigEndian, 1},
  };
  for (const Case& c : cases) {
    const auto parsed = ParseRegedit(c.File);
    EXPECT_FALSE(parsed.Ok) << c.What;
    EXPECT_EQ(parsed.Line, c.Line) << c.What << ": " << parsed.Problem;
    EXPECT_FALSE(parsed.Problem.empty()) << c.What;
  }
}
