#include "cli/OutputSink.h"

#include "base/OSError.h"
#include "cli/ExitStatus.h"
#include "platform/SystemError.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>

TOutputSink::TOutputSink(std::string path) : Path(std::move(path)) {
  if (Path != "-" && !File.Open(Path))
    Fail("cannot open");
}

TOutputSink::TOutputSink(std::string path, const std::string& csvHeader) : Path(std::move(path)) {
  std::string first;
  // Only a file of its own can hold earlier rows (a device or a pipe is
  // written to, never read).
  std::error_code ignored;
  if (std::filesystem::is_regular_file(Path, ignored)) {
    std::ifstream existing(Path, std::ios::binary);
    std::getline(existing, first);
  }
  if (!first.empty() && first != csvHeader + "\r")
    throw TOutputError(Path + " holds readings of other commands; name another file");
  if (Path != "-" && !File.Open(Path))
    Fail("cannot open");
  if (first.empty())
    WriteLine(csvHeader, "\r\n");
}

void TOutputSink::WriteLine(std::string_view line, std::string_view lineEnd) {
  std::string whole(line);
  whole += lineEnd;
  if (Path != "-") {
    if (!File.Write(whole))
      Fail("cannot write");
    return;
  }
  errno = 0;
  if (std::fwrite(whole.data(), 1, whole.size(), stdout) != whole.size() ||
      std::fflush(stdout) != 0) {
    const std::string reason = std::strerror(errno);
    throw TOutputError("cannot write to standard output: " + reason);
  }
}

void TOutputSink::Fail(const std::string& what) {
  const std::uint32_t code = platform::GetLastError();
  throw TOutputError(what + " " + Path + ": " + SystemMessageText(code));
}
