// Key security on the simulated PC: owner, access list and the token's
// take-ownership privilege decide which rights an open of a protected key
// gets; a handle keeps the rights it was opened with.
#include <gtest/gtest.h>

#include "sim/machine.h"
#include "sim/registry.h"

namespace {

class KeySecurity : public ::testing::Test {
 protected:
  KeySecurity() {
    m.system.privileges = {"SeTakeOwnershipPrivilege"};
    reg.Create("HKLM\\SOFTWARE\\Dev\\Child");
    reg.SetAccess("HKLM\\SOFTWARE\\Dev", sim::KeyAccess::kProtected);
  }
  LONG Open(REGSAM sam, HKEY* out = nullptr, const char* sub = "SOFTWARE\\Dev") {
    HKEY h = nullptr;
    const LONG rc = RegOpenKeyExA(HKEY_LOCAL_MACHINE, sub, 0, sam, &h);
    if (out) {
      *out = h;
    } else if (rc == ERROR_SUCCESS) {
      RegCloseKey(h);
    }
    return rc;
  }
  void EnableTakeOwnership(DWORD expectError = ERROR_SUCCESS) {
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, GetCurrentProcessId());
    HANDLE token = nullptr;
    ASSERT_TRUE(OpenProcessToken(process, TOKEN_ADJUST_PRIVILEGES, &token));
    TOKEN_PRIVILEGES tp = {};
    tp.PrivilegeCount = 1;
    ASSERT_TRUE(LookupPrivilegeValueA(nullptr, "SeTakeOwnershipPrivilege", &tp.Privileges[0].Luid));
    tp.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    EXPECT_TRUE(AdjustTokenPrivileges(token, FALSE, &tp, 0, nullptr, nullptr));
    EXPECT_EQ(GetLastError(), expectError);
    CloseHandle(token);
    CloseHandle(process);
  }
  PSID Admins() {
    SID_IDENTIFIER_AUTHORITY nt = {{0, 0, 0, 0, 0, 5}};
    PSID sid = nullptr;
    EXPECT_TRUE(AllocateAndInitializeSid(&nt, 2, 32, 544, 0, 0, 0, 0, 0, 0, &sid));
    return sid;
  }
  DWORD SetOwner(HKEY key, PSID owner) {
    return SetSecurityInfo(key, SE_REGISTRY_KEY, OWNER_SECURITY_INFORMATION, owner, nullptr,
                           nullptr, nullptr);
  }
  DWORD RemoveAccessList(HKEY key) {
    return SetSecurityInfo(key, SE_REGISTRY_KEY, DACL_SECURITY_INFORMATION, nullptr, nullptr,
                           nullptr, nullptr);
  }

  sim::Machine m;
  sim::ScopedMachine scope{m};
  sim::Registry& reg = m.registry;
};

TEST_F(KeySecurity, TakeoverStepByStep) {
  // Untouched: reading only; ownership waits for the privilege.
  EXPECT_EQ(Open(KEY_READ), ERROR_SUCCESS);
  for (REGSAM sam : {DELETE, WRITE_DAC, WRITE_OWNER, KEY_ALL_ACCESS})
    EXPECT_EQ(Open(sam), ERROR_ACCESS_DENIED) << sam;
  EnableTakeOwnership();
  HKEY owner = nullptr;
  ASSERT_EQ(Open(WRITE_OWNER, &owner), ERROR_SUCCESS);
  EXPECT_EQ(Open(WRITE_DAC), ERROR_ACCESS_DENIED);

  // The new owner may rewrite the access list, but only through a new open.
  PSID admins = Admins();
  EXPECT_EQ(SetOwner(owner, admins), static_cast<DWORD>(ERROR_SUCCESS));
  EXPECT_EQ(RemoveAccessList(owner), static_cast<DWORD>(ERROR_ACCESS_DENIED));
  RegCloseKey(owner);
  EXPECT_EQ(Open(DELETE), ERROR_ACCESS_DENIED);
  HKEY dac = nullptr;
  ASSERT_EQ(Open(WRITE_DAC, &dac), ERROR_SUCCESS);
  EXPECT_EQ(RemoveAccessList(dac), static_cast<DWORD>(ERROR_SUCCESS));
  RegCloseKey(dac);

  // No access list: every right on this key; its subkey is still protected.
  EXPECT_EQ(Open(KEY_ALL_ACCESS), ERROR_SUCCESS);
  EXPECT_EQ(Open(DELETE, nullptr, "SOFTWARE\\Dev\\Child"), ERROR_ACCESS_DENIED);
  EXPECT_EQ(RegDeleteKeyA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Dev"), ERROR_ACCESS_DENIED);  // subkey
  EXPECT_EQ(FreeSid(admins), nullptr);
  EXPECT_TRUE(m.sids.empty());
}

TEST_F(KeySecurity, PrivilegeNotHeldLeavesOwnershipRefused) {
  m.system.privileges.clear();
  EnableTakeOwnership(ERROR_NOT_ALL_ASSIGNED);
  EXPECT_FALSE(reg.take_ownership_enabled);
  EXPECT_EQ(Open(WRITE_OWNER), ERROR_ACCESS_DENIED);
}

TEST_F(KeySecurity, DisablingAllPrivilegesEndsTheTakeover) {
  EnableTakeOwnership();
  EXPECT_EQ(Open(WRITE_OWNER), ERROR_SUCCESS);
  HANDLE token = nullptr;
  ASSERT_TRUE(OpenProcessToken(INVALID_HANDLE_VALUE, TOKEN_ADJUST_PRIVILEGES, &token));
  EXPECT_TRUE(AdjustTokenPrivileges(token, TRUE, nullptr, 0, nullptr, nullptr));
  EXPECT_EQ(Open(WRITE_OWNER), ERROR_ACCESS_DENIED);
  CloseHandle(token);
}

TEST_F(KeySecurity, OnlyAnAdministratorMayGiveKeysToAdministrators) {
  reg.Create("HKCU\\Software\\Mine");
  HKEY key = nullptr;
  ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Mine", 0, WRITE_OWNER, &key),
            ERROR_SUCCESS);
  PSID admins = Admins();
  reg.administrator = false;
  EXPECT_EQ(SetOwner(key, admins), static_cast<DWORD>(ERROR_INVALID_OWNER));
  reg.administrator = true;
  EXPECT_EQ(SetOwner(key, admins), static_cast<DWORD>(ERROR_SUCCESS));
  RegCloseKey(key);
  EXPECT_EQ(SetOwner(key, admins), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  FreeSid(admins);
}

TEST_F(KeySecurity, NineXHasNoSecurityCalls) {
  m.system.version.platform = VER_PLATFORM_WIN32_WINDOWS;
  reg.nt_family = false;
  HANDLE token = nullptr;
  EXPECT_FALSE(OpenProcessToken(INVALID_HANDLE_VALUE, TOKEN_QUERY, &token));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CALL_NOT_IMPLEMENTED));
  HKEY key = nullptr;
  ASSERT_EQ(Open(KEY_ALL_ACCESS, &key), ERROR_SUCCESS);  // no registry security at all
  EXPECT_EQ(RemoveAccessList(key), static_cast<DWORD>(ERROR_CALL_NOT_IMPLEMENTED));
  RegCloseKey(key);
}

}  // namespace
