// The registry calls and the settings store against the system's own
// registry (Wine's, in the fresh prefix the test script makes).
#include "platform/Registry.h"
#include "settings/MarrowlinkDatabase.h"

#include <gtest/gtest.h>

#include <windows.h>

using namespace platform;

namespace {

const std::string TestKey = "Software\\Tavrin\\Test";
const std::string OurKey = "Software\\Tavrin\\Private\\Marrowlink";

// Each test starts from a key that does not exist, as on a first run.
void DeleteKey(const std::string& subKey) {
  ::RegDeleteTreeA(HKEY_CURRENT_USER, subKey.c_str());
}

std::int32_t SetString(RegKey key, const std::string& name, const std::string& value) {
  return SetRegistryValue(key, name, RegSz, value.c_str(),
                          static_cast<std::uint32_t>(value.size() + 1));
}

std::int32_t SetDword(RegKey key, const std::string& name, std::uint32_t value) {
  return SetRegistryValue(key, name, RegDword, &value, sizeof value);
}

struct Stored {
  std::uint32_t Type = RegNone;
  std::string Data;
};

Stored StoredValue(const std::string& subKey, const std::string& name) {
  Stored stored;
  RegKey key = 0;
  if (OpenRegistryKey(CurrentUserKey, subKey, &key) != RegistrySuccess)
    return stored;
  std::uint32_t size = 0;
  if (QueryRegistryValue(key, name, &stored.Type, nullptr, &size) == RegistrySuccess) {
    stored.Data.resize(size);
    QueryRegistryValue(key, name, &stored.Type, stored.Data.data(), &size);
  }
  CloseRegistryKey(key);
  return stored;
}

void Release(std::unique_ptr<TMarrowlinkDatabase> store) {
  std::unique_ptr<TDatabase> owned = std::move(store);
  ReleaseDatabase(owned);
}

} // namespace

TEST(Registry, SystemRegistryFollowsTheContract) {
  DeleteKey(TestKey);
  RegKey key = 0;
  EXPECT_EQ(OpenRegistryKey(CurrentUserKey, TestKey, &key), RegistryNotFound);

  ASSERT_EQ(CreateRegistryKey(CurrentUserKey, TestKey, &key), RegistrySuccess);
  EXPECT_EQ(SetString(key, "Port", "COM3"), RegistrySuccess);
  EXPECT_EQ(SetDword(key, "Left", 0xFFFFFF85), RegistrySuccess);

  std::uint32_t type = 0, size = 0;
  EXPECT_EQ(QueryRegistryValue(key, "port", &type, nullptr, &size), RegistrySuccess);
  EXPECT_EQ(type, RegSz);
  EXPECT_EQ(size, 5u);
  char small[4];
  size = sizeof small;
  EXPECT_EQ(QueryRegistryValue(key, "Port", &type, small, &size), RegistryMoreData);
  EXPECT_EQ(size, 5u);
  char room[8] = {};
  size = sizeof room;
  EXPECT_EQ(QueryRegistryValue(key, "Port", nullptr, room, &size), RegistrySuccess);
  EXPECT_EQ(std::string(room, size), std::string("COM3\0", 5));
  EXPECT_EQ(QueryRegistryValue(key, "Missing", &type, nullptr, &size), RegistryNotFound);
  EXPECT_EQ(SetDword(key, "Gone", 1), RegistrySuccess);
  EXPECT_EQ(DeleteRegistryValue(key, "GONE"), RegistrySuccess);
  EXPECT_EQ(DeleteRegistryValue(key, "Gone"), RegistryNotFound);
  EXPECT_EQ(CloseRegistryKey(key), RegistrySuccess);

  RegKey reader = 0;
  ASSERT_EQ(OpenRegistryKey(CurrentUserKey, TestKey, &reader), RegistrySuccess);
  EXPECT_EQ(QueryRegistryValue(reader, "Gone", nullptr, nullptr, nullptr), RegistryNotFound);
  EXPECT_NE(DeleteRegistryValue(reader, "Port"), RegistrySuccess) << "a key opened for reading";
  std::int32_t left = 0;
  size = sizeof left;
  EXPECT_EQ(QueryRegistryValue(reader, "Left", &type, &left, &size), RegistrySuccess);
  EXPECT_EQ(type, RegDword);
  EXPECT_EQ(left, -123);
  EXPECT_NE(SetDword(reader, "Left", 1), RegistrySuccess) << "a key opened for reading";
  EXPECT_EQ(CloseRegistryKey(reader), RegistrySuccess);
  DeleteKey(TestKey);
}

TEST(MarrowlinkDatabase, SettingsSurviveARoundTripThroughTheSystemRegistry) {
  DeleteKey(OurKey);
  // Bytes above 127 travel through the ANSI code page and must come back.
  const std::string awkward = "say \"hi\" C:\\dir\\ \x80\xAA\xE9\xFF\t end";
  auto first = std::make_unique<TMarrowlinkDatabase>();
  EXPECT_EQ(first->LoadError(), "");
  EXPECT_EQ(first->GetString("Port"), "");
  EXPECT_EQ(first->GetInteger("Left"), 0);
  EXPECT_FALSE(first->GetBoolean("Open"));
  first->SetString("Port", awkward);
  first->SetInteger("Left", -2147483647 - 1);
  first->SetBoolean("Open", true);
  Release(std::move(first));

  EXPECT_EQ(StoredValue(OurKey, "Port").Type, RegSz);
  EXPECT_EQ(StoredValue(OurKey, "Port").Data, awkward + '\0');
  EXPECT_EQ(StoredValue(OurKey, "Open").Data, std::string("\x01\0\0\0", 4));
  EXPECT_EQ(StoredValue(OurKey, "Monitor Panel9 Color").Type, RegDword)
      << "every setting is written, changed or not";

  TMarrowlinkDatabase reloaded;
  EXPECT_EQ(reloaded.LoadError(), "");
  EXPECT_EQ(reloaded.GetString("Port"), awkward);
  EXPECT_EQ(reloaded.GetInteger("Left"), -2147483647 - 1);
  EXPECT_TRUE(reloaded.GetBoolean("Open"));
  DeleteKey(OurKey);
}

TEST(MarrowlinkDatabase, ValuesOfTheWrongTypeAreReportedByName) {
  struct Case {
    std::string Stored;
    std::string Error;
  };
  // A string of four characters is five bytes with its NUL: too long for a
  // number; a shorter one is simply not a number.
  for (const Case& c : {Case{"abcd", "Failed to get data for 'Left'"},
                        Case{"abc", "Invalid data type for 'Left'"}}) {
    DeleteKey(OurKey);
    RegKey key = 0;
    ASSERT_EQ(CreateRegistryKey(CurrentUserKey, OurKey, &key), RegistrySuccess);
    SetString(key, "Left", c.Stored);
    SetString(key, "Message", "still loaded");
    CloseRegistryKey(key);

    TMarrowlinkDatabase store;
    EXPECT_EQ(store.LoadError(), c.Error);
    EXPECT_EQ(store.GetInteger("Left"), 0);
    EXPECT_EQ(store.GetString("Message"), "still loaded");
  }
  DeleteKey(OurKey);
}
