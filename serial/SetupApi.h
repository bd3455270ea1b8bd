#pragma once

#include "platform/SetupApiTypes.h"

#include <cstddef>
#include <string>

// The device-installation interface, bound at run time from its library so
// the program starts on a system without it.
namespace setupapi {

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
