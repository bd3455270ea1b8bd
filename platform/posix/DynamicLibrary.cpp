#include "platform/DynamicLibrary.h"

#include <cerrno>
#include <dlfcn.h>
#include <filesystem>
#include <strings.h>
#include <system_error>
#include <vector>

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

// The folders the program's own libraries are searched in (the library path
// variable, the program's run path, the system folders). dlopen would search
// them by itself, but from the caller's point of view, and a sanitizer that
// wraps dlopen becomes the caller.
std::vector<std::filesystem::path> ProgramLibraryPath() {
  std::vector<std::filesystem::path> folders;
  void* program = ::dlopen(nullptr, RTLD_NOW);
  Dl_serinfo size{};
  if (program && ::dlinfo(program, RTLD_DI_SERINFOSIZE, &size) == 0) {
    std::vector<Dl_serinfo> buffer(size.dls_size / sizeof(Dl_serinfo) + 1);
    Dl_serinfo* info = buffer.data();
    *info = size;
    if (::dlinfo(program, RTLD_DI_SERINFO, info) == 0)
      for (unsigned int i = 0; i < info->dls_cnt; ++i)
        folders.emplace_back(info->dls_serpath[i].dls_name);
  }
  if (program)
    ::dlclose(program);
  return folders;
}

void* OpenFirstFound(const std::vector<std::filesystem::path>& folders, const std::string& name) {
  for (const std::filesystem::path& folder : folders) {
    std::error_code error;
    if (!folder.empty() && std::filesystem::exists(folder / name, error))
      if (void* module = Open((folder / name).string()))
        return module;
  }
  return nullptr;
}

} // namespace

ModuleHandle LoadLibraryA(const std::string& fileName) {
  const std::string name = SharedObjectName(fileName);
  if (name.empty()) {
    errno = EINVAL;
    return nullptr;
  }
  if (name.find('/') == std::string::npos) {
    if (void* module = OpenFirstFound({ExecutableDir()}, name))
      return module;
    if (void* module = OpenFirstFound(ProgramLibraryPath(), name))
      return module;
  }
  // A bare name is also looked up in the system's library cache.
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
