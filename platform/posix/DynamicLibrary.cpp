#include "platform/DynamicLibrary.h"

#include <cerrno>
#include <dlfcn.h>
#include <filesystem>
#include <strings.h>
#include <system_error>

namespace platform {

namespace {

// "X.dll" stands for libX.so; any other name is taken as it is.
std::string SharedObjectName(const std::string& fileName) {
  static constexpr std::string_view dllSuffix = ".dll";
  if (fileName.find('/') != std::string::npos || fileName.size() <= dllSuffix.size())
    return fileName;
  const std::size_t stem = fileName.size() - dllSuffix.size();
  if (::strcasecmp(fileName.c_str() + stem, dllSuffix.data()) != 0)
    return fileName;
  return "lib" + fileName.substr(0, stem) + ".so";
}

std::filesystem::path ExecutableDir() {
  std::error_code error;
  const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
  return error ? std::filesystem::path() : self.parent_path();
}

void* Open(const std::string& path) {
  return ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
}

} // namespace

ModuleHandle LoadLibraryA(const std::string& fileName) {
  const std::string name = SharedObjectName(fileName);
  if (name.empty()) {
    errno = EINVAL;
    return nullptr;
  }
  if (name.find('/') == std::string::npos) {
    const std::filesystem::path dir = ExecutableDir();
    std::error_code error;
    if (!dir.empty() && std::filesystem::exists(dir / name, error))
      if (void* module = Open((dir / name).string()))
        return module;
  }
  if (void* module = Open(name))
    return module;
  // dlopen keeps its reason as text only; a missing file is the usual one.
  errno = ENOENT;
  return nullptr;
}

void* GetProcAddress(ModuleHandle module, const std::string& procName) {
  if (!module) {
    errno = EBADF;
    return nullptr;
  }
  ::dlerror();
  void* address = ::dlsym(module, procName.c_str());
  if (!address)
    errno = ENOENT;
  return address;
}

bool FreeLibrary(ModuleHandle module) {
  if (!module) {
    errno = EBADF;
    return false;
  }
  if (::dlclose(module) != 0) {
    errno = EINVAL;
    return false;
  }
  return true;
}

} // namespace platform
