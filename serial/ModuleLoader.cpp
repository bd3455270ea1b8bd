#include "serial/ModuleLoader.h"

bool LoadModule(TModuleHandle& module, const std::string& fileName) {
  if (module == INVALID_MODULEHANDLE_VALUE)
    module = platform::LoadLibraryA(fileName);
  return module != INVALID_MODULEHANDLE_VALUE;
}

void UnloadModule(TModuleHandle& module) {
  if (module != INVALID_MODULEHANDLE_VALUE)
    platform::FreeLibrary(module);
  module = INVALID_MODULEHANDLE_VALUE;
}

void* GetModuleSymbol(TModuleHandle module, const std::string& symbolName) {
  if (module == INVALID_MODULEHANDLE_VALUE)
    return nullptr;
  return platform::GetProcAddress(module, symbolName);
}

void* GetModuleSymbolEx(TModuleHandle module, const std::string& symbolName, bool& accu) {
  void* symbol = GetModuleSymbol(module, symbolName);
  accu = accu && symbol != nullptr;
  return symbol;
}
