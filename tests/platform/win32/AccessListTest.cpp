// Which access lists let others read a credentials file. Wine makes a
// file's list of its Unix mode bits and keeps no other, so the lists are
// built here as an administrator or a careless installer might set them.
#include "platform/win32/AccessList.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using TSid = std::vector<BYTE>;

TSid WellKnown(WELL_KNOWN_SID_TYPE type) {
  TSid sid(SECURITY_MAX_SID_SIZE);
  DWORD size = static_cast<DWORD>(sid.size());
  EXPECT_TRUE(::CreateWellKnownSid(type, nullptr, sid.data(), &size));
  return sid;
}

// One entry: who, allowed or denied, which rights, its inheritance flags.
struct TEntry {
  const TSid& Sid;
  bool Allow;
  DWORD Rights;
  DWORD Flags = 0;
};

// The entries in exactly this order.
std::vector<BYTE> List(const std::vector<TEntry>& entries) {
  std::vector<BYTE> list(1024);
  auto* acl = reinterpret_cast<ACL*>(list.data());
  EXPECT_TRUE(::InitializeAcl(acl, static_cast<DWORD>(list.size()), ACL_REVISION));
  for (const TEntry& entry : entries) {
    auto* sid = const_cast<BYTE*>(entry.Sid.data());
    EXPECT_TRUE(entry.Allow
                    ? ::AddAccessAllowedAceEx(acl, ACL_REVISION, entry.Flags, entry.Rights, sid)
                    : ::AddAccessDeniedAceEx(acl, ACL_REVISION, entry.Flags, entry.Rights, sid));
  }
  return list;
}

} // namespace

TEST(AccessList, OnlyTheOwnerSystemAndAdministratorsMayRead) {
  const TSid owner = WellKnown(WinAnonymousSid); // anyone will do as the owner
  const TSid system = WellKnown(WinLocalSystemSid);
  const TSid administrators = WellKnown(WinBuiltinAdministratorsSid);
  const TSid users = WellKnown(WinBuiltinUsersSid);
  const TSid everyone = WellKnown(WinWorldSid);
  const TEntry ownerAll{owner, true, GENERIC_ALL};
  const auto othersRead = [&](const std::vector<TEntry>& entries) {
    const std::vector<BYTE> list = List(entries);
    return platform::LetsOthersRead(reinterpret_cast<const ACL*>(list.data()),
                                    const_cast<BYTE*>(owner.data()));
  };

  EXPECT_FALSE(
      othersRead({ownerAll, {system, true, GENERIC_ALL}, {administrators, true, FILE_ALL_ACCESS}}))
      << "a profile's usual list";
  EXPECT_FALSE(othersRead({ownerAll, {users, true, FILE_GENERIC_WRITE}}))
      << "others may only write";
  EXPECT_TRUE(othersRead({ownerAll, {users, true, FILE_READ_DATA}})) << "the machine's users read";
  EXPECT_TRUE(othersRead({ownerAll, {everyone, true, GENERIC_READ}})) << "generic rights count";
  EXPECT_FALSE(othersRead({{users, false, FILE_READ_DATA}, ownerAll, {users, true, GENERIC_READ}}))
      << "denied before it is allowed";
  EXPECT_TRUE(othersRead({ownerAll, {users, true, GENERIC_READ}, {users, false, FILE_READ_DATA}}))
      << "allowed before it is denied";
  EXPECT_FALSE(
      othersRead({ownerAll, {users, true, GENERIC_READ, OBJECT_INHERIT_ACE | INHERIT_ONLY_ACE}}))
      << "an entry only for what a folder holds";
  EXPECT_TRUE(platform::LetsOthersRead(nullptr, const_cast<BYTE*>(owner.data())))
      << "no list: everyone may do everything";
}
