#include "base/TextFile.h"

#include "base/Exception.h"
#include "base/Format.h"

#include <cerrno>
#include <filesystem>
#include <system_error>

namespace {

constexpr int EndOfFileMark = 26;
constexpr int ReadBeyondEnd = 100;
constexpr std::size_t BlockSize = 64 * 1024;
constexpr std::string_view LineStops = "\n\x1a";

[[noreturn]] void RaiseInOutError(int code) {
  throw Exception(InOutErrorMessage(code));
}

[[noreturn]] void RaiseErrno() {
  throw Exception(SystemInOutErrorMessage(errno));
}

} // namespace

std::string InOutErrorMessage(int code) {
  switch (code) {
  case 2:
    return "File not found";
  case 3:
    return "Invalid filename";
  case 4:
    return "Too many open files";
  case 5:
    return "File access denied";
  case 100:
    return "Read beyond end of file";
  case 101:
    return "Disk full";
  case 106:
    return "Invalid numeric input";
  default:
    return Format("I/O error %d", code);
  }
}

int InOutErrorCode(int error) {
  switch (static_cast<std::errc>(error)) {
  case std::errc::no_such_file_or_directory:
    return 2;
  case std::errc::not_a_directory:
  case std::errc::filename_too_long:
    return 3;
  case std::errc::too_many_files_open:
  case std::errc::too_many_files_open_in_system:
    return 4;
  case std::errc::permission_denied:
  case std::errc::operation_not_permitted:
  case std::errc::is_a_directory:
    return 5;
  case std::errc::no_space_on_device:
    return 101;
  default:
    return 0;
  }
}

std::string SystemInOutErrorMessage(int error) {
  const int code = InOutErrorCode(error);
  return code != 0 ? InOutErrorMessage(code) : Format("I/O error %d", error);
}

TTextFile::TTextFile(const std::string& path) {
  // Opening a folder succeeds on some systems and fails on reading; refuse
  // it the way the others do. A pipe or a device would block the window at
  // the open or never end: refused alike.
  std::error_code missing;
  const std::filesystem::file_status status = std::filesystem::status(path, missing);
  if (!missing && std::filesystem::exists(status) && !std::filesystem::is_regular_file(status))
    RaiseInOutError(5);
  errno = 0;
  File.reset(std::fopen(path.c_str(), "rb"));
  if (!File) {
    if (errno == 0)
      RaiseInOutError(2);
    RaiseErrno();
  }
}

TTextFile::~TTextFile() = default;

bool TTextFile::Refill() {
  Buffer.resize(BlockSize);
  errno = 0;
  const std::size_t got = std::fread(Buffer.data(), 1, Buffer.size(), File.get());
  Buffer.resize(got);
  Next = 0;
  if (got == 0 && std::ferror(File.get()))
    RaiseErrno();
  return got > 0;
}

int TTextFile::Peek() {
  if (!File)
    RaiseInOutError(103);
  if (Next == Buffer.size() && !Refill())
    return EOF;
  return static_cast<unsigned char>(Buffer[Next]);
}

bool TTextFile::Eof() {
  const int c = Peek();
  return c == EOF || c == EndOfFileMark;
}

std::string TTextFile::ReadLine() {
  if (Eof())
    RaiseInOutError(ReadBeyondEnd);
  std::string line;
  while (Peek() != EOF) {
    // The whole run up to the next line end or end mark at once.
    const std::size_t stop = Buffer.find_first_of(LineStops, Next);
    const std::size_t end = stop == std::string::npos ? Buffer.size() : stop;
    line.append(Buffer, Next, end - Next);
    Next = end;
    if (stop == std::string::npos)
      continue;
    // The end mark stays, so the file reports its end from now on.
    if (Buffer[stop] == '\n')
      ++Next;
    break;
  }
  std::erase(line, '\r');
  return line;
}

void TTextFile::Close() {
  if (!File)
    return;
  errno = 0;
  const int result = std::fclose(File.release());
  if (result != 0)
    RaiseErrno();
}
