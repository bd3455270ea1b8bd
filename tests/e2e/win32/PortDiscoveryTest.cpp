// Port discovery through Wine's DOS-device table and its SetupApi.dll. The
// test script maps MARROWLINK_SIM_PORT to the simulator's pseudo-terminal
// in Wine's port table, which puts it in the DOS-device table.
#include "serial/PortDiscovery.h"
#include "platform/DosDevices.h"
#include "platform/DynamicLibrary.h"
#include "platform/SystemError.h"
#include "serial/SerialPortList.h"
#include "serial/SetupApi.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

const std::vector<std::string> SetupApiNames = {
#define SETUPAPI_NAME(name) #name,
#include "platform/SetupApiNames.inc"
#undef SETUPAPI_NAME
};

std::string SimPort() {
  const char* port = std::getenv("MARROWLINK_SIM_PORT");
  return port ? port : "";
}

// The names of the binding's table that the system's library lacks.
std::string MissingSetupApiNames() {
  const platform::ModuleHandle module = platform::LoadLibraryA(setupapi::SetupApiModuleName);
  if (!module)
    return "(the library does not load)";
  std::string missing;
  for (const std::string& name : SetupApiNames)
    if (!platform::GetProcAddress(module, name))
      missing += name + " ";
  platform::FreeLibrary(module);
  return missing;
}

} // namespace

TEST(WinePortDiscovery, TheBindingTakesEveryNameFromTheSystemsLibrary) {
  ASSERT_EQ(SetupApiNames.size(), 271u);
  {
    const setupapi::TSetupApiBinding binding;
    ASSERT_TRUE(binding.Loaded()) << "missing: " << MissingSetupApiNames();
    EXPECT_EQ(setupapi::SetupApiBoundSlotCount(), setupapi::SetupApiSlotCount());
    // The five calls the system makes run on the real library.
    TNameValueList descriptions;
    EXPECT_NO_THROW(CollectDescriptions(descriptions));
  }
  EXPECT_FALSE(setupapi::IsSetupApiLoaded());
  EXPECT_EQ(setupapi::SetupApiBoundSlotCount(), 0u);
}

TEST(WinePortDiscovery, TheMappedPortIsListedWithItsDeviceTarget) {
  ASSERT_FALSE(SimPort().empty())
      << "MARROWLINK_SIM_PORT names no port; scripts/windows/test.sh sets it";
  std::vector<char> names(65535);
  const std::uint32_t length =
      platform::QueryDosDeviceA(nullptr, names.data(), static_cast<std::uint32_t>(names.size()));
  ASSERT_GT(length, 0u);
  EXPECT_EQ(names[length - 1], '\0') << "the list ends with a NUL";
  // A buffer too small for the table grows until the whole list fits.
  std::vector<char> small(16);
  EXPECT_EQ(platform::QueryDosDeviceA(nullptr, small.data(), 16), 0u);
  EXPECT_EQ(platform::GetLastError(), platform::ErrorInsufficientBuffer);
  EXPECT_EQ(QueryDosDeviceList(nullptr, 16), std::string(names.data(), length));

  TNameValueList targets;
  CollectDeviceTargets(targets);
  const std::string number = SimPort().substr(3);
  const TNameValue* target = FindName(targets, number);
  ASSERT_NE(target, nullptr) << SimPort() << " is not in the DOS-device table";
  EXPECT_TRUE(target->Value.starts_with("\\Device\\")) << target->Value;

  TSerialPortList list;
  const auto port = list.FindByName(SimPort());
  ASSERT_NE(port, nullptr);
  EXPECT_EQ(port->DevicePath(), "\\\\.\\" + SimPort());
  EXPECT_EQ(list.FindByName("COM198"), nullptr);
  for (std::size_t i = 1; i < list.Count(); ++i)
    EXPECT_LT(list[i - 1].Number, list[i].Number) << "ports are listed in numeric order";
}
