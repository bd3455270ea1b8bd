#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// The device-installation interface, bound at run time from its library so
// the program starts on a system without it. Types and values as in the
// Windows headers.

#include "platform/DynamicLibrary.h"

#define SETUPAPI_CALL PLATFORM_SYSTEM_CALL

namespace setupapi {

using BOOL = std::int32_t;
using DWORD = std::uint32_t;
using HWND = void*;
using HDEVINFO = void*;

struct GUID {
  std::uint32_t Data1;
  std::uint16_t Data2;
  std::uint16_t Data3;
  std::uint8_t Data4[8];
};

struct SP_DEVINFO_DATA {
  DWORD cbSize;
  GUID ClassGuid;
  DWORD DevInst;
  std::uintptr_t Reserved;
};

inline constexpr DWORD DIGCF_PRESENT = 0x2;
inline constexpr DWORD SPDRP_DEVICEDESC = 0;
inline constexpr DWORD SPDRP_FRIENDLYNAME = 12;
inline constexpr DWORD REG_SZ = 1;
inline constexpr DWORD ERROR_NO_MORE_ITEMS = 259;

inline HDEVINFO InvalidDevInfo() {
  return reinterpret_cast<HDEVINFO>(static_cast<std::intptr_t>(-1));
}

using TSetupDiClassGuidsFromNameA = BOOL SETUPAPI_CALL(const char* className, GUID* classGuidList,
                                                       DWORD classGuidListSize,
                                                       DWORD* requiredSize);
using TSetupDiGetClassDevsA = HDEVINFO SETUPAPI_CALL(const GUID* classGuid, const char* enumerator,
                                                     HWND hwndParent, DWORD flags);
using TSetupDiEnumDeviceInfo = BOOL SETUPAPI_CALL(HDEVINFO deviceInfoSet, DWORD memberIndex,
                                                  SP_DEVINFO_DATA* deviceInfoData);
using TSetupDiGetDeviceRegistryPropertyA = BOOL
SETUPAPI_CALL(HDEVINFO deviceInfoSet, SP_DEVINFO_DATA* deviceInfoData, DWORD property,
              DWORD* propertyRegDataType, std::uint8_t* propertyBuffer, DWORD propertyBufferSize,
              DWORD* requiredSize);
using TSetupDiDestroyDeviceInfoList = BOOL SETUPAPI_CALL(HDEVINFO deviceInfoSet);

inline constexpr const char* SetupApiModuleName = "SetupApi.dll";

// Reference-counted: only the first load binds the library, and it succeeds
// only when every entry point of the table is found; a failed load leaves
// the binding as it was before. Every successful load needs one unload.
bool LoadSetupApi(const std::string& moduleName = SetupApiModuleName);
void UnloadSetupApi();
bool IsSetupApiLoaded();

int SetupApiLoadCount();
std::size_t SetupApiSlotCount();
std::size_t SetupApiBoundSlotCount();

// Holds the binding for a scope; Loaded() says whether the load succeeded.
class TSetupApiBinding {
public:
  TSetupApiBinding() : Bound(LoadSetupApi()) {}
  ~TSetupApiBinding() {
    if (Bound)
      UnloadSetupApi();
  }
  TSetupApiBinding(const TSetupApiBinding&) = delete;
  TSetupApiBinding& operator=(const TSetupApiBinding&) = delete;
  bool Loaded() const { return Bound; }

private:
  bool Bound;
};

// The entry points the system calls, through the bound table. Calling one
// while the binding is not loaded raises.
BOOL SetupDiClassGuidsFromNameA(const char* className, GUID* classGuidList, DWORD classGuidListSize,
                                DWORD* requiredSize);
HDEVINFO SetupDiGetClassDevsA(const GUID* classGuid, const char* enumerator, HWND hwndParent,
                              DWORD flags);
BOOL SetupDiEnumDeviceInfo(HDEVINFO deviceInfoSet, DWORD memberIndex,
                           SP_DEVINFO_DATA* deviceInfoData);
BOOL SetupDiGetDeviceRegistryPropertyA(HDEVINFO deviceInfoSet, SP_DEVINFO_DATA* deviceInfoData,
                                       DWORD property, DWORD* propertyRegDataType,
                                       std::uint8_t* propertyBuffer, DWORD propertyBufferSize,
                                       DWORD* requiredSize);
BOOL SetupDiDestroyDeviceInfoList(HDEVINFO deviceInfoSet);

} // namespace setupapi
