#include "platform/DynamicLibrary.h"

#include <windows.h>

namespace platform {

ModuleHandle LoadLibraryA(const std::string& fileName) {
  return ::LoadLibraryA(fileName.c_str());
}

void* GetProcAddress(ModuleHandle module, const std::string& procName) {
  return reinterpret_cast<void*>(::GetProcAddress(static_cast<HMODULE>(module), procName.c_str()));
}

bool FreeLibrary(ModuleHandle module) {
  return ::FreeLibrary(static_cast<HMODULE>(module)) != FALSE;
}

} // namespace platform
