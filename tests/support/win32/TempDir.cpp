#include "tests/support/TempDir.h"

#include <cstdlib>
#include <random>
#include <stdexcept>
#include <system_error>

TempDir::TempDir() {
  std::random_device seed;
  std::mt19937 random(seed());
  for (int attempt = 0; attempt < 100; ++attempt) {
    const std::filesystem::path candidate =
        std::filesystem::temp_directory_path() / ("marrowlink-test-" + std::to_string(random()));
    std::error_code error;
    // create_directory is false when the name is already taken.
    if (std::filesystem::create_directory(candidate, error)) {
      Root = candidate;
      return;
    }
  }
  throw std::runtime_error("cannot create a temporary folder");
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
  ::_putenv_s("XDG_CONFIG_HOME", Home.Path().string().c_str());
}

ScopedConfigHome::~ScopedConfigHome() {
  // An empty value removes the variable.
  ::_putenv_s("XDG_CONFIG_HOME", HadPrevious ? Previous.c_str() : "");
}
