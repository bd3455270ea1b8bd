#pragma once

#include <string>

// The calling convention of functions that system libraries export.
#if defined(_WIN32) && !defined(_WIN64)
#define PLATFORM_SYSTEM_CALL __stdcall
#else
#define PLATFORM_SYSTEM_CALL
#endif

// Libraries bound at run time, with their Win32 meaning. Failures return
// nullptr (or false) and leave the code in GetLastError.
namespace platform {

using ModuleHandle = void*;

// LoadLibraryA: "X.dll" is looked up beside the executable first, then
// wherever the system looks for libraries. Loading a library already loaded
// returns the same handle and counts one more reference.
ModuleHandle LoadLibraryA(const std::string& fileName);

// GetProcAddress: the address of an exported name, or nullptr.
void* GetProcAddress(ModuleHandle module, const std::string& procName);

// FreeLibrary: drops one reference; the library leaves memory with the last.
bool FreeLibrary(ModuleHandle module);

} // namespace platform
