// The calls of the library that work; the rest are generated stubs.

#include "platform/SetupApiTypes.h"
#include "platform/posix/devices/SerialDevices.h"
#include "platform/posix/setupapi/DeviceInfoSet.h"

#include <cerrno>
#include <cstring>
#include <memory>
#include <strings.h>

#define EXPORT extern "C" __attribute__((visibility("default")))

using namespace setupapi;

namespace {

// {4D36E978-E325-11CE-BFC1-08002BE10318}
constexpr GUID PortsClass = {
    0x4D36E978, 0xE325, 0x11CE, {0xBF, 0xC1, 0x08, 0x00, 0x2B, 0xE1, 0x03, 0x18}};

bool SameGuid(const GUID& a, const GUID& b) {
  return std::memcmp(&a, &b, sizeof(GUID)) == 0;
}

BOOL Fail(int code) {
  errno = code;
  return 0;
}

TDeviceInfoSet* SetOf(HDEVINFO handle) {
  if (!handle || handle == InvalidDevInfo())
    return nullptr;
  return static_cast<TDeviceInfoSet*>(handle);
}

// The device a record filled by SetupDiEnumDeviceInfo stands for.
const TPortDevice* DeviceOf(const TDeviceInfoSet& set, const SP_DEVINFO_DATA* data) {
  if (!data || data->cbSize != sizeof(SP_DEVINFO_DATA) || data->Reserved == 0 ||
      data->Reserved > set.Devices.size())
    return nullptr;
  return &set.Devices[data->Reserved - 1];
}

const std::string* Property(const TPortDevice& device, DWORD property) {
  if (property == SPDRP_FRIENDLYNAME && !device.FriendlyName.empty())
    return &device.FriendlyName;
  if (property == SPDRP_DEVICEDESC)
    return &device.Description;
  return nullptr;
}

} // namespace

EXPORT BOOL SetupDiClassGuidsFromNameA(const char* className, GUID* classGuidList,
                                       DWORD classGuidListSize, DWORD* requiredSize) {
  if (!className)
    return Fail(EINVAL);
  const DWORD count = ::strcasecmp(className, "Ports") == 0 ? 1 : 0;
  if (requiredSize)
    *requiredSize = count;
  if (count > classGuidListSize)
    return Fail(ERANGE);
  if (count > 0) {
    if (!classGuidList)
      return Fail(EINVAL);
    classGuidList[0] = PortsClass;
  }
  return 1;
}

EXPORT HDEVINFO SetupDiGetClassDevsA(const GUID* classGuid, const char* /*enumerator*/,
                                     HWND /*hwndParent*/, DWORD /*flags*/) {
  if (!classGuid) {
    errno = EINVAL;
    return InvalidDevInfo();
  }
  auto set = std::make_unique<TDeviceInfoSet>();
  // Only present devices are known, so every set is as with DIGCF_PRESENT.
  if (SameGuid(*classGuid, PortsClass))
    *set = TDeviceInfoSet::PresentPorts();
  return set.release();
}

EXPORT BOOL SetupDiEnumDeviceInfo(HDEVINFO deviceInfoSet, DWORD memberIndex,
                                  SP_DEVINFO_DATA* deviceInfoData) {
  const TDeviceInfoSet* set = SetOf(deviceInfoSet);
  if (!set)
    return Fail(EBADF);
  if (!deviceInfoData || deviceInfoData->cbSize != sizeof(SP_DEVINFO_DATA))
    return Fail(EINVAL);
  if (memberIndex >= set->Devices.size())
    return Fail(static_cast<int>(ERROR_NO_MORE_ITEMS));
  deviceInfoData->ClassGuid = PortsClass;
  deviceInfoData->DevInst = memberIndex + 1;
  deviceInfoData->Reserved = memberIndex + 1;
  return 1;
}

EXPORT BOOL SetupDiGetDeviceRegistryPropertyA(HDEVINFO deviceInfoSet,
                                              SP_DEVINFO_DATA* deviceInfoData, DWORD property,
                                              DWORD* propertyRegDataType,
                                              std::uint8_t* propertyBuffer,
                                              DWORD propertyBufferSize, DWORD* requiredSize) {
  const TDeviceInfoSet* set = SetOf(deviceInfoSet);
  if (!set)
    return Fail(EBADF);
  const TPortDevice* device = DeviceOf(*set, deviceInfoData);
  if (!device)
    return Fail(EINVAL);
  const std::string* value = Property(*device, property);
  if (!value)
    return Fail(ENODATA);
  const auto size = static_cast<DWORD>(value->size() + 1);
  if (requiredSize)
    *requiredSize = size;
  if (!propertyBuffer || propertyBufferSize < size)
    return Fail(ERANGE);
  std::memcpy(propertyBuffer, value->c_str(), size);
  if (propertyRegDataType)
    *propertyRegDataType = REG_SZ;
  return 1;
}

EXPORT BOOL SetupDiDestroyDeviceInfoList(HDEVINFO deviceInfoSet) {
  TDeviceInfoSet* set = SetOf(deviceInfoSet);
  if (!set)
    return Fail(EBADF);
  const std::unique_ptr<TDeviceInfoSet> owned(set);
  return 1;
}

// Not part of the interface: lets a test point the library at the same fake
// device tree as the program, as long as it holds the library loaded.
EXPORT void MarrowlinkUseDeviceRoots(const char* sysRoot, const char* devRoot) {
  platform::posix::SetDeviceRoots({sysRoot, devRoot});
}
