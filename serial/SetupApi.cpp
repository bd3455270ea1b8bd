#include "serial/SetupApi.h"

#include "base/Exception.h"
#include "serial/ModuleLoader.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace setupapi {

namespace {

constexpr std::string_view ExportNames[] = {
#define SETUPAPI_NAME(name) #name,
#include "platform/SetupApiNames.inc"
#undef SETUPAPI_NAME
};

struct Slot {
  std::string_view Name;
  std::string_view Export;
};

constexpr bool HasWidePartner(std::string_view name) {
  if (!name.ends_with('A'))
    return false;
  const std::string_view stem = name.substr(0, name.size() - 1);
  return std::ranges::any_of(ExportNames, [stem](std::string_view other) {
    return other.size() == stem.size() + 1 && other.starts_with(stem) && other.ends_with('W');
  });
}

constexpr std::size_t CountSlots() {
  std::size_t count = 0;
  for (std::string_view name : ExportNames)
    count += HasWidePartner(name) ? 2 : 1;
  return count;
}

// Every export fills its own slot; the unsuffixed name of a function with
// text arguments is bound to its ANSI export as well.
constexpr auto BuildSlots() {
  std::array<Slot, CountSlots()> slots{};
  std::size_t i = 0;
  for (std::string_view name : ExportNames) {
    slots[i++] = {name, name};
    if (HasWidePartner(name))
      slots[i++] = {name.substr(0, name.size() - 1), name};
  }
  return slots;
}

constexpr auto Slots = BuildSlots();

constexpr std::size_t SlotIndex(std::string_view name) {
  for (std::size_t i = 0; i < Slots.size(); ++i)
    if (Slots[i].Name == name)
      return i;
  throw "no such slot";
}

int LoadCount = 0;
TModuleHandle Library = INVALID_MODULEHANDLE_VALUE;
std::array<void*, Slots.size()> Bound{};

template <class Function> Function* Entry(std::size_t slot) {
  if (!Bound[slot])
    throw Exception("Couldn't load setupapi.dll");
  return reinterpret_cast<Function*>(Bound[slot]);
}

} // namespace

bool LoadSetupApi(const std::string& moduleName) {
  ++LoadCount;
  if (LoadCount > 1)
    return true;
  bool found = LoadModule(Library, moduleName);
  // Every name is looked up even after one is missing.
  for (std::size_t i = 0; i < Slots.size(); ++i)
    Bound[i] = GetModuleSymbolEx(Library, std::string(Slots[i].Export), found);
  if (!found)
    UnloadSetupApi();
  return found;
}

void UnloadSetupApi() {
  --LoadCount;
  if (LoadCount > 0)
    return;
  UnloadModule(Library);
  Bound.fill(nullptr);
}

bool IsSetupApiLoaded() {
  return Library != INVALID_MODULEHANDLE_VALUE;
}

int SetupApiLoadCount() {
  return LoadCount;
}

std::size_t SetupApiSlotCount() {
  return Slots.size();
}

std::size_t SetupApiBoundSlotCount() {
  return static_cast<std::size_t>(
      std::ranges::count_if(Bound, [](void* p) { return p != nullptr; }));
}

BOOL SetupDiClassGuidsFromNameA(const char* className, GUID* classGuidList, DWORD classGuidListSize,
                                DWORD* requiredSize) {
  constexpr std::size_t slot = SlotIndex("SetupDiClassGuidsFromNameA");
  return Entry<TSetupDiClassGuidsFromNameA>(slot)(className, classGuidList, classGuidListSize,
                                                  requiredSize);
}

HDEVINFO SetupDiGetClassDevsA(const GUID* classGuid, const char* enumerator, HWND hwndParent,
                              DWORD flags) {
  constexpr std::size_t slot = SlotIndex("SetupDiGetClassDevsA");
  return Entry<TSetupDiGetClassDevsA>(slot)(classGuid, enumerator, hwndParent, flags);
}

BOOL SetupDiEnumDeviceInfo(HDEVINFO deviceInfoSet, DWORD memberIndex,
                           SP_DEVINFO_DATA* deviceInfoData) {
  constexpr std::size_t slot = SlotIndex("SetupDiEnumDeviceInfo");
  return Entry<TSetupDiEnumDeviceInfo>(slot)(deviceInfoSet, memberIndex, deviceInfoData);
}

BOOL SetupDiGetDeviceRegistryPropertyA(HDEVINFO deviceInfoSet, SP_DEVINFO_DATA* deviceInfoData,
                                       DWORD property, DWORD* propertyRegDataType,
                                       std::uint8_t* propertyBuffer, DWORD propertyBufferSize,
                                       DWORD* requiredSize) {
  constexpr std::size_t slot = SlotIndex("SetupDiGetDeviceRegistryPropertyA");
  return Entry<TSetupDiGetDeviceRegistryPropertyA>(slot)(deviceInfoSet, deviceInfoData, property,
                                                         propertyRegDataType, propertyBuffer,
                                                         propertyBufferSize, requiredSize);
}

BOOL SetupDiDestroyDeviceInfoList(HDEVINFO deviceInfoSet) {
  constexpr std::size_t slot = SlotIndex("SetupDiDestroyDeviceInfoList");
  return Entry<TSetupDiDestroyDeviceInfoList>(slot)(deviceInfoSet);
}

} // namespace setupapi
