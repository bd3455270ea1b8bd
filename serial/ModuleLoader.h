#pragma once

#include "platform/DynamicLibrary.h"

#include <string>

using TModuleHandle = platform::ModuleHandle;
inline constexpr TModuleHandle INVALID_MODULEHANDLE_VALUE = nullptr;

// Loads fileName into module unless module already holds a library; false
// when the library cannot be loaded.
bool LoadModule(TModuleHandle& module, const std::string& fileName);

// Frees the library module holds, if any, and leaves module invalid.
void UnloadModule(TModuleHandle& module);

// The address of an exported name, or nullptr.
void* GetModuleSymbol(TModuleHandle module, const std::string& symbolName);

// As GetModuleSymbol; a name that is missing also clears accu, so a caller can
// look up a whole table and learn at the end whether all of it was found.
void* GetModuleSymbolEx(TModuleHandle module, const std::string& symbolName, bool& accu);
