#include "settings/DatabaseUnit.h"
#include "base/Exception.h"
#include "platform/Registry.h"
#include "tests/support/SettingsTestSupport.h"
#include "tests/support/TempDir.h"

#include <cerrno>
#include <cstring>
#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace {

const std::string HiveKeyPath = "HKEY_CURRENT_USER\\Software\\Test";

// A store of one record of each kind, plus whatever a test adds.
class TTestDatabase : public TDatabase {
public:
  explicit TTestDatabase(std::string keyPath = "\\Software\\Test") : Key(std::move(keyPath)) {
    TTestDatabase::DefineRecords();
    if (!KeyPath.empty())
      Load();
  }

protected:
  void DefineRecords() override {
    KeyPath = Key;
    AddRecord(std::make_unique<TIntegerDatabaseRecord>("Left"));
    AddRecord(std::make_unique<TStringDatabaseRecord>("Port"));
    AddRecord(std::make_unique<TBooleanDatabaseRecord>("Open"));
    AddRecord(std::make_unique<TStringDatabaseRecord>("Message"));
    AddRecord(std::make_unique<TIntegerDatabaseRecord>("Top"));
  }

private:
  std::string Key;
};

template <class F> std::string MessageOf(F&& action) {
  try {
    action();
  } catch (const Exception& error) {
    return error.what();
  }
  return "(no error)";
}

void WriteOurKey(const ScopedConfigHome& home, const std::string& values) {
  WriteWholeFile(home.AppDir() / "user.reg", "REGEDIT4\r\n\r\n[" + HiveKeyPath + "]\r\n" + values);
}

platform::posix::HiveValue StoredValue(const ScopedConfigHome& home, const std::string& name) {
  const auto hive = ParseHiveFile(home.AppDir() / "user.reg");
  const auto* key = hive.FindKey(HiveKeyPath);
  const auto* value = key ? platform::posix::RegistryHive::FindValue(*key, name) : nullptr;
  return value ? *value : platform::posix::HiveValue{};
}

} // namespace

TEST(DatabaseUnit, RecordsAreFoundByExactName) {
  ScopedConfigHome home;
  TTestDatabase store;
  EXPECT_EQ(store.AddRecord(std::make_unique<TIntegerDatabaseRecord>("Left")), 5)
      << "indices follow the records already defined";
  EXPECT_EQ(&store.FindRecord("Port"), &store.FindRecord("Port"));
  EXPECT_EQ(store.FindRecord("Left").Name, "Left");
  store.SetInteger("Left", 5);
  EXPECT_EQ(store.GetInteger("Left"), 5) << "a duplicate name finds the first record";
  EXPECT_EQ(MessageOf([&] { store.GetInteger("left"); }), "Cannot find the record named left");
  EXPECT_EQ(MessageOf([&] { store.FindRecord(""); }), "Cannot find the record named ");
}

TEST(DatabaseUnit, TypedAccessOfTheWrongKindChangesNothing) {
  ScopedConfigHome home;
  TTestDatabase store;
  store.SetInteger("Left", 7);
  store.SetString("Port", "COM2");
  store.SetBoolean("Open", true);
  const std::vector<std::function<void()>> wrong = {
      [&] { store.GetString("Left"); },  [&] { store.SetString("Left", "9"); },
      [&] { store.GetBoolean("Left"); }, [&] { store.SetBoolean("Left", false); },
      [&] { store.GetInteger("Port"); }, [&] { store.SetInteger("Port", 1); },
      [&] { store.GetInteger("Open"); }, [&] { store.SetString("Open", ""); },
  };
  for (const auto& action : wrong)
    EXPECT_EQ(MessageOf(action), "Wrong Record Type");
  EXPECT_EQ(store.GetInteger("Left"), 7);
  EXPECT_EQ(store.GetString("Port"), "COM2");
  EXPECT_TRUE(store.GetBoolean("Open"));
}

TEST(DatabaseUnit, StoreWithoutKeyRefusesLoadAndSave) {
  ScopedConfigHome home;
  TTestDatabase store("");
  EXPECT_EQ(MessageOf([&] { store.CheckKey(); }), "No registry key is specified");
  EXPECT_EQ(MessageOf([&] { store.Load(); }), "No registry key is specified");
  EXPECT_EQ(MessageOf([&] { store.Save(); }), "No registry key is specified");
  EXPECT_FALSE(fs::exists(home.AppDir() / "user.reg"));
}

TEST(DatabaseUnit, EveryKindSurvivesARoundTrip) {
  ScopedConfigHome home;
  const std::string awkward = std::string("say \"hi\" C:\\dir\\ \x80\xAA\xFF\t\x01\x1F end");
  auto store = std::unique_ptr<TDatabase>(std::make_unique<TTestDatabase>());
  store->SetInteger("Left", -2147483647 - 1);
  store->SetString("Port", awkward);
  store->SetBoolean("Open", true);
  store->SetString("Message", "");
  ReleaseDatabase(store);
  EXPECT_EQ(store, nullptr);

  EXPECT_EQ(StoredValue(home, "Left").Type, platform::RegDword);
  EXPECT_EQ(StoredValue(home, "Port").Type, platform::RegSz);
  EXPECT_EQ(StoredValue(home, "Port").Data, awkward + '\0') << "the NUL is stored with the string";
  EXPECT_EQ(StoredValue(home, "Open").Data, std::string("\x01\0\0\0", 4));
  EXPECT_EQ(StoredValue(home, "Message").Data, std::string(1, '\0'));

  TTestDatabase reloaded;
  EXPECT_EQ(reloaded.LoadError(), "");
  EXPECT_EQ(reloaded.GetInteger("Left"), -2147483647 - 1);
  EXPECT_EQ(reloaded.GetString("Port"), awkward);
  EXPECT_TRUE(reloaded.GetBoolean("Open"));
  EXPECT_EQ(reloaded.GetString("Message"), "");
}

TEST(DatabaseUnit, StoredValuesAreReadAsTheSystemStoresThem) {
  ScopedConfigHome home;
  WriteOurKey(home, "\"Left\"=dword:fffffffe\r\n"
                    "\"Port\"=hex(2):25,54,45,4d,50,25,00\r\n"
                    "\"Open\"=dword:00000002\r\n"
                    "\"Message\"=hex(1):41,00,42,00\r\n");
  TTestDatabase store;
  EXPECT_EQ(store.LoadError(), "");
  EXPECT_EQ(store.GetInteger("Left"), -2);
  EXPECT_EQ(store.GetString("Port"), "%TEMP%") << "an expandable string is read unexpanded";
  EXPECT_TRUE(store.GetBoolean("Open")) << "any non-zero number is true";
  EXPECT_EQ(store.GetString("Message"), "A") << "cut at the first NUL";

  WriteOurKey(home, "\"Message\"=hex(1):\r\n");
  TTestDatabase empty;
  EXPECT_EQ(empty.GetString("Message"), "");
}

TEST(DatabaseUnit, ValueOfTheWrongTypeKeepsItsDefaultAndIsReported) {
  struct Case {
    std::string Stored;
    std::string Error;
  };
  const std::vector<Case> cases = {
      {"\"Left\"=\"abcd\"", "Failed to get data for 'Left'"},
      {"\"Left\"=\"abc\"", "Invalid data type for 'Left'"},
      {"\"Left\"=hex:01,02,03,04", "Invalid data type for 'Left'"},
      {"\"Left\"=hex(4):01,02", "Invalid data type for 'Left'"},
      {"\"Open\"=hex(b):01,00,00,00,00,00,00,00", "Failed to get data for 'Open'"},
      {"\"Port\"=dword:00000003", "Invalid data type for 'Port'"},
      {"\"Port\"=hex:41,00", "Invalid data type for 'Port'"},
  };
  for (const Case& c : cases) {
    ScopedConfigHome home;
    WriteOurKey(home, c.Stored + "\r\n\"Message\"=\"still loaded\"\r\n\"Top\"=\"late\"\r\n");
    auto store = std::unique_ptr<TDatabase>(std::make_unique<TTestDatabase>());
    EXPECT_EQ(store->LoadError(), c.Error) << "the first error is the one reported";
    EXPECT_EQ(store->GetInteger("Left"), 0);
    EXPECT_EQ(store->GetString("Message"), "still loaded") << "the records after it load";
    ReleaseDatabase(store);

    // The save writes every record with its proper type over the bad one.
    TTestDatabase reloaded;
    EXPECT_EQ(reloaded.LoadError(), "") << c.Stored;
    EXPECT_EQ(StoredValue(home, "Port").Type, platform::RegSz);
    EXPECT_EQ(StoredValue(home, "Left").Type, platform::RegDword);
    EXPECT_EQ(StoredValue(home, "Top").Type, platform::RegDword);
  }
}

TEST(DatabaseUnit, DamagedHiveIsReportedAndTheStoreStartsEmpty) {
  ScopedConfigHome home;
  WriteOurKey(home, "\"Left\"=dword:00000005\r\n\"Port\"=\"COM");
  TTestDatabase store;
  EXPECT_NE(store.LoadError().find((home.AppDir() / "user.reg").string()), std::string::npos);
  EXPECT_NE(store.LoadError().find("line 5"), std::string::npos) << store.LoadError();
  EXPECT_EQ(store.GetInteger("Left"), 0);
  EXPECT_EQ(FilesStartingWith(home.AppDir(), "user.reg.bad-").size(), 1u);
}

TEST(DatabaseUnit, SaveRefusedInAReadOnlyFolderLeavesTheOldFile) {
  ScopedConfigHome home;
  WriteOurKey(home, "\"Left\"=dword:00000005\r\n");
  // Left behind by earlier saves, as in real use.
  WriteWholeFile(home.AppDir() / "user.reg.lock", "");
  const std::string before = ReadWholeFile(home.AppDir() / "user.reg");

  const std::string outcome = RunWithReadOnlyFolder(home.AppDir(), [] {
    auto store = std::unique_ptr<TDatabase>(std::make_unique<TTestDatabase>());
    if (store->GetInteger("Left") != 5)
      return std::string("not loaded: ") + store->LoadError();
    store->SetInteger("Left", 6);
    const std::string message = MessageOf([&] { ReleaseDatabase(store); });
    return message + (store ? " (store kept)" : "");
  });
  EXPECT_EQ(outcome, "Failed to set data for 'Left'");
  EXPECT_EQ(ReadWholeFile(home.AppDir() / "user.reg"), before);
}

// After one run with sudo the file is root's: said at load with the file
// and the reason, said once at the save, and never replaced.
TEST(DatabaseUnit, UnreadableFileIsReportedAtLoadAndLeftAlone) {
  ScopedConfigHome home;
  WriteOurKey(home, "\"Left\"=dword:00000005\r\n");
  const fs::path file = home.AppDir() / "user.reg";
  const std::string before = ReadWholeFile(file);
  const std::string outcome = RunWithUnreadableFile(file, [&] {
    auto store = std::unique_ptr<TDatabase>(std::make_unique<TTestDatabase>());
    const std::string& loaded = store->LoadError();
    std::string report;
    if (loaded.find("\"" + file.string() + "\"") == std::string::npos ||
        loaded.find(std::strerror(EACCES)) == std::string::npos)
      report = "load said: " + loaded + "; ";
    if (store->GetInteger("Left") != 0)
      report += "a value was read; ";
    auto sub = std::make_unique<TTestDatabase>("\\Software\\Test\\Sub");
    try {
      SaveDatabases({store.get(), sub.get()});
    } catch (const Exception& error) {
      return report + error.what();
    }
    return report + "saved";
  });
  EXPECT_EQ(outcome, "Failed to set data for 'Left'");
  EXPECT_EQ(ReadWholeFile(file), before);
  EXPECT_TRUE(FilesStartingWith(home.AppDir(), "user.reg.bad-").empty());
}

// The main store and a store of a sub-key go to the disk together; a store
// outside the first one's key is refused before anything is written.
TEST(DatabaseUnit, StoresOfAKeyAndItsSubKeySaveTogether) {
  ScopedConfigHome home;
  TTestDatabase main;
  TTestDatabase sub("\\Software\\Test\\Recording");
  TTestDatabase elsewhere("\\Software\\Other");
  main.SetInteger("Left", 7);
  sub.SetString("Port", "COM9");
  EXPECT_THROW(SaveDatabases({&main, &elsewhere}), Exception);
  EXPECT_FALSE(fs::exists(home.AppDir() / "user.reg"));

  SaveDatabases({&main, &sub});
  const auto hive = ParseHiveFile(home.AppDir() / "user.reg");
  ASSERT_NE(hive.FindKey(HiveKeyPath + "\\Recording"), nullptr);
  EXPECT_EQ(StoredValue(home, "Left").Data, std::string("\7\0\0\0", 4));
  EXPECT_EQ(TTestDatabase("\\Software\\Test\\Recording").GetString("Port"), "COM9");
}

TEST(DatabaseUnit, ReleasingNothingDoesNothing) {
  std::unique_ptr<TDatabase> none;
  EXPECT_NO_THROW(ReleaseDatabase(none));
}

TEST(DatabaseUnit, DamagedHiveThatCannotBeSetAsideIsLeftAlone) {
  ScopedConfigHome home;
  WriteOurKey(home, "\"Port\"=\"COM");
  const std::string before = ReadWholeFile(home.AppDir() / "user.reg");
  const std::string outcome = RunWithReadOnlyFolder(home.AppDir(), [] {
    auto store = std::unique_ptr<TDatabase>(std::make_unique<TTestDatabase>());
    const bool reported = store->LoadError().find("could not be set aside") != std::string::npos;
    return (reported ? "reported, " : store->LoadError() + ", ") +
           MessageOf([&] { ReleaseDatabase(store); });
  });
  EXPECT_EQ(outcome, "reported, Failed to set data for 'Left'");
  EXPECT_EQ(ReadWholeFile(home.AppDir() / "user.reg"), before);
  EXPECT_TRUE(FilesStartingWith(home.AppDir(), "user.reg.bad-").empty());
}
