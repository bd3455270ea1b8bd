#include "cli/OutputSink.h"

#include "base/OSError.h"
#include "cli/ExitStatus.h"
#include "platform/SystemError.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

TOutputSink::TOutputSink(std::string path) : Path(std::move(path)) {
  if (Path != "-" && !File.Open(Path, true))
    Fail("cannot open");
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
