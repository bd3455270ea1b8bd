#include "platform/posix/registry/RegeditEncoding.h"

#include <cstdint>

namespace platform::posix {

namespace {

constexpr std::string_view Utf16LeMark = "\xFF\xFE";
constexpr std::string_view Utf8Mark = "\xEF\xBB\xBF";
constexpr char Unmappable = '?';

char Narrow(std::uint32_t codePoint) {
  return codePoint <= 0xFF ? static_cast<char>(codePoint) : Unmappable;
}

std::uint32_t Byte(std::string_view text, std::size_t i) {
  return static_cast<unsigned char>(text[i]);
}

// Units from pairs of bytes, low byte first; a surrogate pair is one
// character, a surrogate without its partner one unmappable character.
std::string NarrowUtf16(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size() / 2);
  const std::size_t units = bytes.size() / 2;
  auto unit = [&](std::size_t i) { return Byte(bytes, 2 * i) | Byte(bytes, 2 * i + 1) << 8; };
  for (std::size_t i = 0; i < units; ++i) {
    const std::uint32_t u = unit(i);
    const bool high = u >= 0xD800 && u <= 0xDBFF;
    if (high && i + 1 < units && unit(i + 1) >= 0xDC00 && unit(i + 1) <= 0xDFFF)
      ++i;
    out += Narrow(u);
  }
  return out;
}

// The length of the UTF-8 sequence that begins with lead, or 0 if none may.
std::size_t SequenceLength(std::uint32_t lead) {
  if (lead >= 0xC2 && lead <= 0xDF)
    return 2;
  if (lead >= 0xE0 && lead <= 0xEF)
    return 3;
  if (lead >= 0xF0 && lead <= 0xF4)
    return 4;
  return 0;
}

// The character of a well-formed sequence at text[i], or nothing for a
// sequence cut short, badly continued, too long for its value or past
// U+10FFFF. Encoded surrogates decode, to be unmappable like lone ones.
bool DecodeSequence(std::string_view text, std::size_t i, std::size_t length,
                    std::uint32_t& codePoint) {
  if (length == 0 || i + length > text.size())
    return false;
  codePoint = Byte(text, i) & (0xFFU >> (length + 1));
  for (std::size_t k = 1; k < length; ++k) {
    const std::uint32_t next = Byte(text, i + k);
    if ((next & 0xC0) != 0x80)
      return false;
    codePoint = codePoint << 6 | (next & 0x3F);
  }
  const std::uint32_t least[] = {0, 0, 0x80, 0x800, 0x10000};
  return codePoint >= least[length] && codePoint <= 0x10FFFF;
}

std::string NarrowUtf8(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t length = SequenceLength(Byte(text, i));
    std::uint32_t codePoint = 0;
    if (DecodeSequence(text, i, length, codePoint)) {
      out += Narrow(codePoint);
      i += length;
    } else {
      out += text[i++];
    }
  }
  return out;
}

} // namespace

RegeditText DecodeRegeditFile(std::string_view file) {
  RegeditText result;
  if (file.starts_with(Utf16LeMark)) {
    file.remove_prefix(Utf16LeMark.size());
    result.Text = NarrowUtf16(file);
    if (file.size() % 2 != 0) {
      result.Ok = false;
      result.Problem = "the file ends in the middle of a UTF-16 character";
    }
  } else if (file.starts_with(Utf8Mark)) {
    result.Text = NarrowUtf8(file.substr(Utf8Mark.size()));
  } else if (file.starts_with(UnicodeRegeditHeader)) {
    result.Text = NarrowUtf8(file);
  } else {
    result.Text = std::string(file);
  }
  return result;
}

std::string NarrowUtf16Data(std::string_view data) {
  return NarrowUtf16(data);
}

} // namespace platform::posix
