#include "platform/posix/registry/RegeditFormat.h"

#include "platform/Registry.h"
#include "platform/posix/registry/RegeditEncoding.h"

#include <algorithm>
#include <cstdio>
#include <optional>

namespace platform::posix {

namespace {

constexpr std::string_view Header = "REGEDIT4";
constexpr std::string_view LineEnd = "\r\n";
// Longer strings are written as hex bytes, which wrap, so no written line
// comes near MaxRegeditLine.
constexpr std::size_t MaxQuotedString = 4096;
constexpr std::size_t HexWrapColumn = 76;

struct Fault {
  std::string Problem;
};

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

bool IsControl(char c) {
  const auto byte = static_cast<unsigned char>(c);
  return byte < 0x20 || byte == 0x7F;
}

std::string_view TrimLeft(std::string_view text) {
  while (!text.empty() && IsBlank(text.front()))
    text.remove_prefix(1);
  return text;
}

std::string_view Trim(std::string_view text) {
  text = TrimLeft(text);
  while (!text.empty() && IsBlank(text.back()))
    text.remove_suffix(1);
  return text;
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && SameRegistryName(text.substr(0, prefix.size()), prefix);
}

std::optional<std::uint32_t> ParseHex(std::string_view digits, std::size_t maxDigits) {
  if (digits.empty() || digits.size() > maxDigits)
    return std::nullopt;
  std::uint32_t value = 0;
  for (char c : digits) {
    int digit = 0;
    if (c >= '0' && c <= '9')
      digit = c - '0';
    else if (c >= 'a' && c <= 'f')
      digit = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F')
      digit = c - 'A' + 10;
    else
      return std::nullopt;
    value = value * 16 + static_cast<std::uint32_t>(digit);
  }
  return value;
}

std::string DwordBytes(std::uint32_t value) {
  std::string bytes(4, '\0');
  for (std::size_t i = 0; i < 4; ++i)
    bytes[i] = static_cast<char>((value >> (8 * i)) & 0xFF);
  return bytes;
}

class Parser {
public:
  explicit Parser(std::string_view text) : Text(text) {}

  // A fault found before the text was parsed, on its last line.
  static RegeditParse Failed(std::string_view text, std::string problem) {
    RegeditParse result;
    result.Line = static_cast<int>(std::ranges::count(text, '\n')) + 1;
    result.Problem = std::move(problem);
    return result;
  }

  RegeditParse Run() {
    RegeditParse result;
    try {
      ParseAll(result.Hive);
      result.Ok = true;
    } catch (const Fault& fault) {
      result.Hive = RegistryHive();
      result.Line = std::max(LineNumber, 1);
      result.Problem = fault.Problem;
    }
    return result;
  }

private:
  std::string_view Text;
  std::size_t Position = 0;
  int LineNumber = 0;
  HiveKey* Current = nullptr;
  // In a Unicode export string values written as hex bytes are UTF-16LE.
  bool Unicode = false;

  void ParseAll(RegistryHive& hive) {
    std::string_view line;
    const bool headed = NextLine(line);
    Unicode = headed && Trim(line) == UnicodeRegeditHeader;
    if (!headed || (!Unicode && Trim(line) != Header))
      throw Fault{"the first line is neither " + std::string(Header) + " nor " +
                  std::string(UnicodeRegeditHeader)};
    while (NextLine(line)) {
      const std::string_view text = Trim(line);
      if (text.empty() || text.front() == ';')
        continue;
      if (text.front() == '[')
        Current = &hive.AddKey(ParseKeyLine(text));
      else if (text.front() == '"' || text.front() == '@')
        ParseValueLine(text);
      else
        throw Fault{"unexpected text; a line holds a [key], a \"value\"=, or a ; comment"};
    }
  }

  bool NextLine(std::string_view& line) {
    if (Position >= Text.size())
      return false;
    const std::size_t end = std::min(Text.find('\n', Position), Text.size());
    line = Text.substr(Position, end - Position);
    Position = end + 1;
    ++LineNumber;
    if (!line.empty() && line.back() == '\r')
      line.remove_suffix(1);
    if (line.size() > MaxRegeditLine)
      throw Fault{"the line is longer than " + std::to_string(MaxRegeditLine) + " bytes"};
    if (std::ranges::any_of(line, [](char c) { return IsControl(c) && c != '\t'; }))
      throw Fault{"the line holds a control character; this is not text"};
    return true;
  }

  static std::string ParseKeyLine(std::string_view text) {
    if (text.size() < 2 || text.back() != ']')
      throw Fault{"a key line must end with \"]\""};
    const std::string_view path = text.substr(1, text.size() - 2);
    if (!path.empty() && path.front() == '-')
      throw Fault{"a key deletion has no place in a settings file"};
    if (!IsValidKeyPath(path))
      throw Fault{"the key name is not valid"};
    return std::string(path);
  }

  void ParseValueLine(std::string_view text) {
    if (!Current)
      throw Fault{"a value comes before the first [key]"};
    std::string name;
    if (text.front() == '@')
      text.remove_prefix(1);
    else
      name = ParseQuoted(text);
    if (!IsValidValueName(name))
      throw Fault{"the value name is not valid"};
    text = TrimLeft(text);
    if (text.empty() || text.front() != '=')
      throw Fault{"\"=\" is missing after the value name"};
    text = TrimLeft(text.substr(1));
    std::uint32_t type = RegSz;
    std::string data = ParseData(text, type);
    RegistryHive::SetValue(*Current, name, type, data);
  }

  std::string ParseData(std::string_view text, std::uint32_t& type) {
    if (!text.empty() && text.front() == '"') {
      std::string data = ParseQuoted(text);
      ExpectEnd(text);
      type = RegSz;
      return data + '\0';
    }
    if (StartsWithNoCase(text, "dword:")) {
      const auto value = ParseHex(Trim(text.substr(6)), 8);
      if (!value)
        throw Fault{"dword: needs one to eight hexadecimal digits"};
      type = RegDword;
      return DwordBytes(*value);
    }
    if (StartsWithNoCase(text, "hex:")) {
      type = RegBinary;
      return ParseHexBytes(text.substr(4));
    }
    if (StartsWithNoCase(text, "hex(")) {
      const std::size_t close = text.find("):");
      const auto parsed =
          close == std::string_view::npos ? std::nullopt : ParseHex(text.substr(4, close - 4), 8);
      if (!parsed)
        throw Fault{"hex(N): needs a hexadecimal type number"};
      type = *parsed;
      std::string bytes = ParseHexBytes(text.substr(close + 2));
      const bool isString = type == RegSz || type == RegExpandSz || type == RegMultiSz;
      return Unicode && isString ? NarrowUtf16Data(bytes) : bytes;
    }
    if (!text.empty() && text.front() == '-')
      throw Fault{"a value deletion has no place in a settings file"};
    throw Fault{"unknown kind of value data"};
  }

  // Byte list "xx,xx,..", continued on the next line after a final "\".
  std::string ParseHexBytes(std::string_view text) {
    std::string bytes;
    while (true) {
      text = Trim(text);
      const bool continued = !text.empty() && text.back() == '\\';
      if (continued)
        text = Trim(text.substr(0, text.size() - 1));
      AppendHexBytes(text, bytes);
      if (!continued)
        return bytes;
      if (!NextLine(text))
        throw Fault{"the value goes on past the end of the file"};
    }
  }

  static void AppendHexBytes(std::string_view text, std::string& bytes) {
    while (!text.empty()) {
      const std::size_t comma = std::min(text.find(','), text.size());
      const auto byte = ParseHex(Trim(text.substr(0, comma)), 2);
      if (!byte)
        throw Fault{"hex data must be bytes of two hexadecimal digits separated by commas"};
      bytes += static_cast<char>(*byte);
      text = comma < text.size() ? text.substr(comma + 1) : std::string_view();
    }
  }

  // Consumes a quoted string from the front of text.
  static std::string ParseQuoted(std::string_view& text) {
    std::string out;
    std::size_t i = 1;
    while (i < text.size()) {
      const char c = text[i++];
      if (c == '"') {
        text.remove_prefix(i);
        return out;
      }
      if (c == '\\') {
        if (i >= text.size() || (text[i] != '\\' && text[i] != '"'))
          throw Fault{"in a quoted string only \\\\ and \\\" may follow a backslash"};
        out += text[i++];
      } else {
        out += c;
      }
    }
    throw Fault{"the quoted string has no closing quote"};
  }

  static void ExpectEnd(std::string_view text) {
    if (!Trim(text).empty())
      throw Fault{"unexpected text after the value"};
  }
};

std::string Quote(std::string_view text) {
  std::string out = "\"";
  for (char c : text) {
    if (c == '\\' || c == '"')
      out += '\\';
    out += c;
  }
  return out + '"';
}

bool IsPlainString(const HiveValue& value) {
  if (value.Type != RegSz || value.Data.empty() || value.Data.back() != '\0')
    return false;
  const std::string_view text(value.Data.data(), value.Data.size() - 1);
  return text.size() <= MaxQuotedString && std::ranges::none_of(text, IsControl);
}

std::string HexPrefix(std::uint32_t type) {
  if (type == RegBinary)
    return "hex:";
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "hex(%x):", type);
  return buffer;
}

void AppendHexData(std::string& line, std::string_view data, std::string& out) {
  for (std::size_t i = 0; i < data.size(); ++i) {
    char byte[4];
    std::snprintf(byte, sizeof byte, "%02x", static_cast<unsigned char>(data[i]));
    line += byte;
    if (i + 1 == data.size())
      break;
    line += ',';
    if (line.size() > HexWrapColumn) {
      out += line;
      out += '\\';
      out += LineEnd;
      line = "  ";
    }
  }
}

void AppendValue(const HiveValue& value, std::string& out) {
  std::string line = value.Name.empty() ? "@" : Quote(value.Name);
  line += '=';
  if (IsPlainString(value)) {
    line += Quote(std::string_view(value.Data.data(), value.Data.size() - 1));
  } else if (value.Type == RegDword && value.Data.size() == 4) {
    std::uint32_t number = 0;
    for (std::size_t i = 0; i < 4; ++i)
      number |= static_cast<std::uint32_t>(static_cast<unsigned char>(value.Data[i])) << (8 * i);
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "dword:%08x", number);
    line += buffer;
  } else {
    line += HexPrefix(value.Type);
    AppendHexData(line, value.Data, out);
  }
  out += line;
  out += LineEnd;
}

} // namespace

RegeditParse ParseRegedit(std::string_view file) {
  if (file.size() > MaxRegeditFile)
    return Parser::Failed({},
                          "the file is larger than " + std::to_string(MaxRegeditFile) + " bytes");
  const RegeditText text = DecodeRegeditFile(file);
  if (!text.Ok)
    return Parser::Failed(text.Text, text.Problem);
  return Parser(text.Text).Run();
}

std::string FormatRegedit(const RegistryHive& hive) {
  std::string out(Header);
  out += LineEnd;
  for (const HiveKey& key : hive.Keys()) {
    out += LineEnd;
    out += '[' + key.Path + ']';
    out += LineEnd;
    for (const HiveValue& value : key.Values)
      AppendValue(value, out);
  }
  out += LineEnd;
  return out;
}

} // namespace platform::posix
