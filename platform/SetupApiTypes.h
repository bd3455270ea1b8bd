#pragma once

#include "platform/DynamicLibrary.h"

#include <cstdint>

// The device-installation interface's types, values and call signatures, as
// in the Windows headers: shared by the binding that calls the library and
// the library this system builds for where the system has none.

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

} // namespace setupapi
