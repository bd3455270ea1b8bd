#include "tests/support/TempDir.h"

#include <cstdlib>
#include <stdexcept>
#include <system_error>

TempDir::TempDir() {
  std::string pattern =
      (std::filesystem::temp_directory_path() / "marrowlink-test-XXXXXX").string();
  if (!::mkdtemp(pattern.data()))
    throw std::runtime_error("cannot create a temporary folder");
  Root = pattern;
}

TempDir::~TempDir() {
  std::error_code ignored;
  std::filesystem::remove_all(Root, ignored);
}

ScopedConfigHome::ScopedConfigHome() {
  if (const char* previous = std::getenv("XDG_CONFIG_HOME")) {
    HadPrevious = true;
    Previous = previous;
  }
  ::setenv("XDG_CONFIG_HOME", Home.Path().c_str(), 1);
  if (const char* previous = std::getenv("XDG_DATA_HOME")) {
    HadPreviousData = true;
    PreviousData = previous;
  }
  ::setenv("XDG_DATA_HOME", (Home.Path() / "data").c_str(), 1);
}

ScopedConfigHome::~ScopedConfigHome() {
  if (HadPrevious)
    ::setenv("XDG_CONFIG_HOME", Previous.c_str(), 1);
  else
    ::unsetenv("XDG_CONFIG_HOME");
  if (HadPreviousData)
    ::setenv("XDG_DATA_HOME", PreviousData.c_str(), 1);
  else
    ::unsetenv("XDG_DATA_HOME");
}
