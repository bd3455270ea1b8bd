#include "base/TextFile.h"

#include "base/Exception.h"
#include "base/Format.h"

#include <cerrno>
#include <filesystem>
#include <system_error>

namespace {

constexpr int EndOfFileMark = 26;
constexpr int ReadBeyondEnd = 100;

[[noreturn]] void RaiseInOutError(int code) {
  throw Exception(InOutErrorMessage(code));
}

[[noreturn]] void RaiseErrno() {
  RaiseInOutError(InOutErrorCode(errno));
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
  case std::errc::invalid_argument:
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
    return error;
  }
}

TTextFile::TTextFile(const std::string& path) {
  // Opening a folder succeeds on some systems and fails on reading; refuse
  // it the way the others do.
  std::error_code ignored;
  if (std::filesystem::is_directory(path, ignored))
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

int TTextFile::Peek() {
  if (!File)
    RaiseInOutError(103);
  errno = 0;
  const int c = std::getc(File.get());
  if (c == EOF) {
    if (std::ferror(File.get()))
      RaiseErrno();
    return EOF;
  }
  std::ungetc(c, File.get());
  return c;
}

bool TTextFile::Eof() {
  const int c = Peek();
  return c == EOF || c == EndOfFileMark;
}

std::string TTextFile::ReadLine() {
  if (Eof())
    RaiseInOutError(ReadBeyondEnd);
  std::string line;
  for (;;) {
    const int c = Peek();
    if (c == EOF || c == EndOfFileMark)
      return line;
    std::getc(File.get());
    if (c == '\n')
      return line;
    if (c != '\r')
      line += static_cast<char>(c);
  }
}

void TTextFile::Close() {
  if (!File)
    return;
  errno = 0;
  const int result = std::fclose(File.release());
  if (result != 0)
    RaiseErrno();
}
