#include "serial/SetupApi.h"

#include "platform/DynamicLibrary.h"
#include "platform/SystemError.h"
#include "tests/support/FakeDeviceTree.h"

#include <cerrno>
#include <cstring>
#include <dlfcn.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <vector>

using namespace setupapi;

namespace {

// Whether the library is still mapped, without loading it.
bool IsMapped(const std::string& soName) {
  const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe");
  void* handle = ::dlopen((self.parent_path() / soName).c_str(), RTLD_NOW | RTLD_NOLOAD);
  if (handle)
    ::dlclose(handle);
  return handle != nullptr;
}

std::vector<std::string> FriendlyNames() {
  GUID ports{};
  DWORD required = 0;
  EXPECT_TRUE(SetupDiClassGuidsFromNameA("ports", &ports, 1, &required));
  HDEVINFO set = SetupDiGetClassDevsA(&ports, nullptr, nullptr, DIGCF_PRESENT);
  EXPECT_NE(set, InvalidDevInfo());
  std::vector<std::string> names;
  for (DWORD index = 0;; ++index) {
    SP_DEVINFO_DATA info{};
    info.cbSize = sizeof(info);
    if (!SetupDiEnumDeviceInfo(set, index, &info)) {
      EXPECT_EQ(platform::GetLastError(), ERROR_NO_MORE_ITEMS);
      break;
    }
    char buffer[256] = {};
    DWORD size = 0;
    DWORD type = 0;
    if (SetupDiGetDeviceRegistryPropertyA(set, &info, SPDRP_FRIENDLYNAME, &type,
                                          reinterpret_cast<std::uint8_t*>(buffer), sizeof(buffer),
                                          &size)) {
      EXPECT_EQ(type, REG_SZ);
      EXPECT_EQ(size, std::strlen(buffer) + 1);
      names.emplace_back(buffer);
    } else {
      names.push_back("error " + std::to_string(platform::GetLastError()));
    }
  }
  EXPECT_TRUE(SetupDiDestroyDeviceInfoList(set));
  return names;
}

} // namespace

TEST(SetupApiTest, BindsTheProjectLibraryWithCountedNesting) {
  ASSERT_EQ(SetupApiLoadCount(), 0);
  ASSERT_TRUE(LoadSetupApi());
  EXPECT_TRUE(IsSetupApiLoaded());
  // Each A/W pair also binds its unsuffixed name to the A export.
  EXPECT_EQ(SetupApiSlotCount(), 271U + 106U);
  EXPECT_EQ(SetupApiBoundSlotCount(), SetupApiSlotCount());

  ASSERT_TRUE(LoadSetupApi());
  EXPECT_EQ(SetupApiLoadCount(), 2);
  UnloadSetupApi();
  EXPECT_TRUE(IsSetupApiLoaded());
  EXPECT_EQ(SetupApiBoundSlotCount(), SetupApiSlotCount());
  UnloadSetupApi();
  EXPECT_EQ(SetupApiLoadCount(), 0);
  EXPECT_FALSE(IsSetupApiLoaded());
  EXPECT_EQ(SetupApiBoundSlotCount(), 0U);
  EXPECT_FALSE(IsMapped("libSetupApi.so"));
}

TEST(SetupApiTest, LibraryMissingOneNameIsRefusedAndLeftUnloaded) {
  EXPECT_FALSE(LoadSetupApi("SetupApiMissingOne.dll"));
  EXPECT_EQ(SetupApiLoadCount(), 0);
  EXPECT_FALSE(IsSetupApiLoaded());
  EXPECT_EQ(SetupApiBoundSlotCount(), 0U);
  EXPECT_FALSE(IsMapped("libSetupApiMissingOne.so"));

  EXPECT_FALSE(LoadSetupApi("NoSuchLibrary.dll"));
  EXPECT_EQ(SetupApiLoadCount(), 0);
  // Nothing bound: the calls refuse rather than jump nowhere.
  EXPECT_THROW(SetupDiDestroyDeviceInfoList(nullptr), std::exception);
}

TEST(SetupApiTest, StandInListsPresentPortsWithFriendlyNames) {
  TFakeDeviceTree tree;
  tree.AddUart("ttyS0", 4);
  tree.AddUart("ttyS1", 0);
  tree.AddUsbDevice("ttyUSB0", {"FT232R USB UART", "", "FTDI"});
  tree.AddUsbDevice("ttyUSB1", {"Dual RS-485", "Channel B", ""});
  tree.AddUsbDevice("ttyACM0", {"", "", "Acme"});
  tree.AddUsbDevice("ttyACM1", {"", "", ""});
  tree.AddLink("com1", tree.AddPlainNode("pts-1"));
  tree.AddLink("com4", tree.Node("ttyS0"));
  tree.AddLink("com03", tree.Node("ttyUSB0"));
  tree.AddLink("com9", tree.Node("ttyUSB0"));
  tree.AddLink("com2", tree.Node("ttyUSB1"));
  tree.AddLink("com5", tree.Node("ttyACM0"));
  tree.AddLink("aux", tree.Node("ttyACM1"));

  TSetupApiBinding binding;
  ASSERT_TRUE(binding.Loaded());
  // The hand-registered pseudo-terminal and the phantom port are not devices;
  // a device only a non-COM name leads to has no friendly name.
  EXPECT_EQ(FriendlyNames(), (std::vector<std::string>{
                                 "Acme (COM5)",
                                 "error " + std::to_string(ENODATA),
                                 "Communications Port (COM4)",
                                 "FT232R USB UART (COM3)",
                                 "Channel B (COM2)",
                             }));
}

TEST(SetupApiTest, StandInRejectsBadArgumentsAndStubsAreNotImplemented) {
  TFakeDeviceTree tree;
  tree.AddUsbDevice("ttyUSB0", {"A rather long product name", "", ""});
  tree.AddLink("com1", tree.Node("ttyUSB0"));
  TSetupApiBinding binding;
  ASSERT_TRUE(binding.Loaded());

  GUID guid{};
  DWORD required = 7;
  EXPECT_TRUE(SetupDiClassGuidsFromNameA("NoSuchClass", &guid, 1, &required));
  EXPECT_EQ(required, 0U);
  EXPECT_FALSE(SetupDiClassGuidsFromNameA("Ports", &guid, 0, &required));
  EXPECT_EQ(required, 1U);
  ASSERT_TRUE(SetupDiClassGuidsFromNameA("PORTS", &guid, 1, &required));
  EXPECT_EQ(guid.Data1, 0x4D36E978U);

  HDEVINFO set = SetupDiGetClassDevsA(&guid, nullptr, nullptr, DIGCF_PRESENT);
  SP_DEVINFO_DATA info{};
  info.cbSize = 28;
  EXPECT_FALSE(SetupDiEnumDeviceInfo(set, 0, &info));
  EXPECT_EQ(platform::GetLastError(), static_cast<std::uint32_t>(EINVAL));
  info.cbSize = sizeof(info);
  ASSERT_TRUE(SetupDiEnumDeviceInfo(set, 0, &info));

  std::uint8_t small[8] = {};
  DWORD size = 0;
  EXPECT_FALSE(SetupDiGetDeviceRegistryPropertyA(set, &info, SPDRP_FRIENDLYNAME, nullptr, small,
                                                 sizeof(small), &size));
  EXPECT_EQ(platform::GetLastError(), static_cast<std::uint32_t>(ERANGE));
  EXPECT_EQ(size, std::string("A rather long product name (COM1)").size() + 1);
  EXPECT_TRUE(SetupDiDestroyDeviceInfoList(set));
  EXPECT_FALSE(SetupDiDestroyDeviceInfoList(InvalidDevInfo()));

  platform::ModuleHandle library = platform::LoadLibraryA("SetupApi.dll");
  using Stub = std::intptr_t();
  auto* openInf = reinterpret_cast<Stub*>(platform::GetProcAddress(library, "SetupOpenInfFileA"));
  auto* copyError = reinterpret_cast<Stub*>(platform::GetProcAddress(library, "SetupCopyErrorA"));
  ASSERT_TRUE(openInf && copyError);
  EXPECT_EQ(openInf(), -1);
  EXPECT_EQ(platform::GetLastError(), static_cast<std::uint32_t>(ENOSYS));
  errno = 0;
  EXPECT_EQ(copyError(), 0);
  EXPECT_EQ(platform::GetLastError(), static_cast<std::uint32_t>(ENOSYS));
  EXPECT_EQ(platform::GetProcAddress(library, "NoSuchExport"), nullptr);
  platform::FreeLibrary(library);
}
