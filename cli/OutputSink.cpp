#include "cli/OutputSink.h"

#include "base/OSError.h"
#include "cli/ExitStatus.h"
#include "platform/SystemError.h"
#include "record/ReadingsCsv.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>

TOutputSink::TOutputSink(std::string path) : Path(std::move(path)) {
  if (Path != "-" && !File.Open(Path))
    Fail("cannot open");
}

TOutputSink::TOutputSink(std::string path, const std::vector<std::string>& csvColumns)
    : Path(std::move(path)) {
  // Only a file of its own can hold earlier rows (a device or a pipe is
  // written to, never read).
  std::error_code ignored;
  const bool continued = Path != "-" && std::filesystem::is_regular_file(Path, ignored) &&
                         std::filesystem::file_size(Path, ignored) > 0;
  if (continued) {
    // One that cannot be read is left to the open below, which says why.
    std::ifstream existing(Path, std::ios::binary);
    if (existing && !HasReadingsColumns(existing, csvColumns))
      throw TOutputError(Path + " holds readings of other commands; name another file");
  }
  if (Path != "-" && !File.Open(Path))
    Fail("cannot open");
  if (!continued)
    WriteLine(ReadingsHeader(csvColumns), "\r\n");
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
