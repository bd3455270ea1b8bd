#include "base/Exception.h"
#include "base/TextFile.h"
#include "fuzz/FuzzCheck.h"

#include <cstdint>
#include <string>
#include <sys/mman.h>
#include <unistd.h>
#include <vector>

namespace {

// The file lives in memory: the reader opens it by name, as it opens any
// playback file, without a disk in the loop.
class MemoryFile {
public:
  MemoryFile() : Fd(::memfd_create("text_file_fuzz", 0)) {
    Require(Fd >= 0, "a memory file can be made");
  }
  ~MemoryFile() { ::close(Fd); }
  MemoryFile(const MemoryFile&) = delete;
  MemoryFile& operator=(const MemoryFile&) = delete;

  void Fill(const std::uint8_t* data, std::size_t size) {
    Require(::ftruncate(Fd, 0) == 0 && ::pwrite(Fd, data, size, 0) == static_cast<ssize_t>(size),
            "the memory file takes the input");
  }
  std::string Path() const { return "/proc/self/fd/" + std::to_string(Fd); }

private:
  int Fd;
};

// The lines as the reader must give them: the text up to the first Ctrl-Z
// split at LF, every CR dropped; bytes after the last LF, even CRs alone,
// make a last line.
std::vector<std::string> Reference(std::string text) {
  text = text.substr(0, text.find('\x1a'));
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t end = text.find('\n', start);
    lines.push_back(text.substr(start, end - start));
    std::erase(lines.back(), '\r');
    if (end == std::string::npos)
      break;
    start = end + 1;
  }
  return lines;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static MemoryFile file;
  file.Fill(data, size);

  TTextFile reader(file.Path());
  std::vector<std::string> lines;
  while (!reader.Eof())
    lines.push_back(reader.ReadLine());
  Require(lines == Reference(std::string(reinterpret_cast<const char*>(data), size)),
          "the lines agree with the reference split");
  try {
    reader.ReadLine();
    Require(false, "reading past the end raises");
  } catch (const Exception& error) {
    Require(std::string(error.what()) == "Read beyond end of file", "the end-of-file message");
  }
  reader.Close();
  return 0;
}
