#include "tests/support/SettingsTestSupport.h"

#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

std::string ReadWholeFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

void WriteWholeFile(const std::filesystem::path& path, const std::string& text) {
  std::filesystem::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << text;
}

std::string Utf16LeFile(std::u16string_view text) {
  std::string file = "\xFF\xFE";
  for (const char16_t unit : text) {
    file += static_cast<char>(unit & 0xFF);
    file += static_cast<char>(unit >> 8);
  }
  return file;
}

std::string Utf8File(std::u16string_view text, bool mark) {
  std::string file = mark ? "\xEF\xBB\xBF" : "";
  for (std::size_t i = 0; i < text.size(); ++i) {
    char32_t c = text[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size())
      c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
    auto put = [&](unsigned bits) { file += static_cast<char>(bits); };
    if (c < 0x80) {
      put(c);
    } else if (c < 0x800) {
      put(0xC0 | c >> 6);
      put(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      put(0xE0 | c >> 12);
      put(0x80 | (c >> 6 & 0x3F));
      put(0x80 | (c & 0x3F));
    } else {
      put(0xF0 | c >> 18);
      put(0x80 | (c >> 12 & 0x3F));
      put(0x80 | (c >> 6 & 0x3F));
      put(0x80 | (c & 0x3F));
    }
  }
  return file;
}

platform::posix::RegistryHive ParseHiveFile(const std::filesystem::path& path) {
  auto parsed = platform::posix::ParseRegedit(ReadWholeFile(path));
  EXPECT_TRUE(parsed.Ok) << "line " << parsed.Line << ": " << parsed.Problem;
  return parsed.Hive;
}

std::vector<std::filesystem::path> FilesStartingWith(const std::filesystem::path& folder,
                                                     const std::string& prefix) {
  std::vector<std::filesystem::path> found;
  for (const auto& entry : std::filesystem::directory_iterator(folder))
    if (entry.path().filename().string().starts_with(prefix))
      found.push_back(entry.path());
  return found;
}

std::string RunInChild(const std::function<std::string()>& work) {
  int channel[2];
  if (::pipe(channel) != 0)
    return "pipe failed";
  const pid_t child = ::fork();
  if (child == 0) {
    ::close(channel[0]);
    const std::string result = work();
    [[maybe_unused]] const auto written = ::write(channel[1], result.data(), result.size());
    ::_exit(0);
  }
  ::close(channel[1]);
  std::string result;
  char buffer[256];
  for (ssize_t got; (got = ::read(channel[0], buffer, sizeof buffer)) > 0;)
    result.append(buffer, static_cast<std::size_t>(got));
  ::close(channel[0]);
  ::waitpid(child, nullptr, 0);
  return result;
}

namespace {

constexpr uid_t Nobody = 65534;

std::string RunUnprivileged(const std::function<std::string()>& work) {
  return RunInChild([&] {
    if (::setgid(Nobody) != 0 || ::setuid(Nobody) != 0)
      return std::string("could not drop root");
    return work();
  });
}

} // namespace

std::string RunWithReadOnlyFolder(const std::filesystem::path& folder,
                                  const std::function<std::string()>& work) {
  namespace fs = std::filesystem;
  const fs::perms before = fs::status(folder).permissions();
  fs::permissions(folder, fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read |
                              fs::perms::group_exec | fs::perms::others_read |
                              fs::perms::others_exec);
  std::string result;
  if (::geteuid() == 0) {
    // The unprivileged child must pass through the private temporary
    // folder above.
    fs::permissions(folder.parent_path(), fs::perms::others_exec, fs::perm_options::add);
    for (const auto& entry : fs::directory_iterator(folder))
      fs::permissions(entry.path(), fs::perms::others_read, fs::perm_options::add);
    result = RunUnprivileged(work);
  } else {
    result = work();
  }
  fs::permissions(folder, before);
  return result;
}

std::string RunWithUnreadableFile(const std::filesystem::path& file,
                                  const std::function<std::string()>& work) {
  namespace fs = std::filesystem;
  const fs::path folder = file.parent_path();
  const fs::perms before = fs::status(file).permissions();
  std::string result;
  if (::geteuid() == 0) {
    fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write);
    fs::permissions(folder, fs::perms::all);
    fs::permissions(folder.parent_path(), fs::perms::others_exec, fs::perm_options::add);
    result = RunUnprivileged(work);
    fs::permissions(folder, fs::perms::owner_all);
  } else {
    fs::permissions(file, fs::perms::none);
    result = work();
  }
  fs::permissions(file, before);
  return result;
}
