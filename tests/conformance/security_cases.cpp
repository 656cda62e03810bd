// Processes, tokens, privileges and registry key security: what a program
// needs to take a key over. Windows 9x has no security: its advapi32 answers
// the token, privilege, identity and object-security calls with
// ERROR_CALL_NOT_IMPLEMENTED, while Wine implements them in 98 mode too.
#include <cstring>
#include <string>

#include "conformance/conformance.h"
#include "conformance/registry_helpers.h"

using namespace conformance;

namespace {

constexpr char kWineSecurityOn9x[] =
    "Wine implements advapi32 security in 98 mode; Windows 9x answers 120 "
    "(ERROR_CALL_NOT_IMPLEMENTED; Platform SDK: Windows 95/98/Me unsupported)";
constexpr DWORD kProcessVmRead = 0x0010;  // PROCESS_VM_READ: no query right

// The own process token with the rights the program asks for (null on failure).
HANDLE OwnToken(DWORD access = TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY) {
  HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, GetCurrentProcessId());
  HANDLE token = nullptr;
  if (process) {
    if (!OpenProcessToken(process, access, &token)) token = nullptr;
    CloseHandle(process);
  }
  return token;
}

LUID Privilege(const char* name) {
  LUID luid = {};
  CHECK_EQ(LookupPrivilegeValueA(nullptr, name, &luid), TRUE);
  return luid;
}

// Sets one privilege's state; returns the call's result and leaves the last error.
BOOL Adjust(HANDLE token, const LUID& luid, DWORD attributes, PTOKEN_PRIVILEGES previous = nullptr,
            DWORD size = 0, DWORD* needed = nullptr) {
  TOKEN_PRIVILEGES tp = {};
  tp.PrivilegeCount = 1;
  tp.Privileges[0].Luid = luid;
  tp.Privileges[0].Attributes = attributes;
  return AdjustTokenPrivileges(token, FALSE, &tp, size, previous, needed);
}

PSID MakeSid(DWORD sub0, DWORD sub1, BYTE count) {
  SID_IDENTIFIER_AUTHORITY nt = {{0, 0, 0, 0, 0, 5}};
  PSID sid = nullptr;
  CHECK_EQ(AllocateAndInitializeSid(&nt, count, sub0, sub1, 0, 0, 0, 0, 0, 0, &sid), TRUE);
  return sid;
}

PSID Administrators() { return MakeSid(SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS, 2); }

HKEY OpenScratch(const std::string& name, REGSAM sam) {
  HKEY key = nullptr;
  CHECK_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, Scratch::Key(name).c_str(), 0, sam, &key),
           ERROR_SUCCESS);
  return key;
}

}  // namespace

// GetCurrentProcessId, OpenProcess, CloseHandle

CONFORMANCE_CASE(security, GetCurrentProcessId_NonZeroAndStable) {
  const DWORD id = GetCurrentProcessId();
  CHECK_TRUE(id != 0);
  CHECK_EQ(GetCurrentProcessId(), id);
}

CONFORMANCE_CASE(security, OpenProcess_OwnProcessForQuery) {
  HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, GetCurrentProcessId());
  CHECK_TRUE(process != nullptr);
  CHECK_EQ(CloseHandle(process), TRUE);
  SetLastError(0xdeadbeef);
  CHECK_EQ(CloseHandle(process), FALSE);
  CHECK_ERROR(ERROR_INVALID_HANDLE);
}

CONFORMANCE_CASE(security, OpenProcess_IdZeroGives87) {
  // dlls/kernel32/tests/process.c test_OpenProcess. 9x: not checked (no source).
  if (!NtFamily()) return;
  SetLastError(0xdeadbeef);
  CHECK_TRUE(OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, 0) == nullptr);
  CHECK_ERROR(ERROR_INVALID_PARAMETER);
}

// OpenProcessToken

CONFORMANCE_CASE(security, OpenProcessToken_OwnProcess) {
  WineDiffersOn9x(kWineSecurityOn9x);
  HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, GetCurrentProcessId());
  HANDLE token = nullptr;
  SetLastError(0xdeadbeef);
  const BOOL ok = OpenProcessToken(process, TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token);
  if (NtFamily()) {
    CHECK_EQ(ok, TRUE);
    CHECK_TRUE(token != nullptr);
    CHECK_EQ(CloseHandle(token), TRUE);
  } else {
    CHECK_EQ(ok, FALSE);
    CHECK_ERROR(ERROR_CALL_NOT_IMPLEMENTED);
  }
  CloseHandle(process);
}

CONFORMANCE_CASE(security, OpenProcessToken_ProcessWithoutQueryRightGives5) {
  if (!NtFamily()) return;  // no tokens on 9x (OpenProcessToken_OwnProcess)
  WINE_DIFFERS(
      "Wine opens the token through a handle without the query right; Windows requires "
      "PROCESS_QUERY_INFORMATION on it (Platform SDK, OpenProcessToken)");
  HANDLE process = OpenProcess(kProcessVmRead, FALSE, GetCurrentProcessId());
  CHECK_TRUE(process != nullptr);
  HANDLE token = nullptr;
  SetLastError(0xdeadbeef);
  CHECK_EQ(OpenProcessToken(process, TOKEN_QUERY, &token), FALSE);
  CHECK_ERROR(ERROR_ACCESS_DENIED);
  CloseHandle(process);
}

// LookupPrivilegeValueA

CONFORMANCE_CASE(security, LookupPrivilegeValueA_TakeOwnership) {
  WineDiffersOn9x(kWineSecurityOn9x);
  LUID luid = {77, 77};
  SetLastError(0xdeadbeef);
  const BOOL ok = LookupPrivilegeValueA(nullptr, "SeTakeOwnershipPrivilege", &luid);
  if (NtFamily()) {
    // SE_TAKE_OWNERSHIP_PRIVILEGE; names compare without case.
    CHECK_EQ(ok, TRUE);
    CHECK_EQ(luid.LowPart, 9u);
    CHECK_EQ(luid.HighPart, 0);
    luid = {};
    CHECK_EQ(LookupPrivilegeValueA(nullptr, "setakeownershipprivilege", &luid), TRUE);
    CHECK_EQ(luid.LowPart, 9u);
  } else {
    CHECK_EQ(ok, FALSE);
    CHECK_ERROR(ERROR_CALL_NOT_IMPLEMENTED);
  }
}

CONFORMANCE_CASE(security, LookupPrivilegeValueA_UnknownNameGives1313) {
  // dlls/advapi32/tests/security.c test_LookupPrivilegeValue.
  if (!NtFamily()) return;  // 9x: LookupPrivilegeValueA_TakeOwnership
  LUID luid = {};
  SetLastError(0xdeadbeef);
  CHECK_EQ(LookupPrivilegeValueA(nullptr, "SeBogusPrivilege", &luid), FALSE);
  CHECK_ERROR(ERROR_NO_SUCH_PRIVILEGE);
}

// AdjustTokenPrivileges

CONFORMANCE_CASE(security, AdjustTokenPrivileges_HeldPrivilegeEnabled) {
  if (!NtFamily()) return;  // no tokens on 9x
  HANDLE token = OwnToken();
  CHECK_TRUE(token != nullptr);
  for (const char* name : {"SeTakeOwnershipPrivilege", "SeShutdownPrivilege"}) {
    SetLastError(0xdeadbeef);
    CHECK_EQ(Adjust(token, Privilege(name), SE_PRIVILEGE_ENABLED), TRUE);
    CHECK_ERROR(ERROR_SUCCESS);
  }
  CloseHandle(token);
}

CONFORMANCE_CASE(security, AdjustTokenPrivileges_NotHeldGivesTrueAnd1300) {
  // Only the system holds SeCreateTokenPrivilege: success, but not all assigned.
  if (!NtFamily()) return;
  HANDLE token = OwnToken();
  SetLastError(0xdeadbeef);
  CHECK_EQ(Adjust(token, Privilege("SeCreateTokenPrivilege"), SE_PRIVILEGE_ENABLED), TRUE);
  CHECK_ERROR(ERROR_NOT_ALL_ASSIGNED);
  CloseHandle(token);
}

CONFORMANCE_CASE(security, AdjustTokenPrivileges_TokenWithoutAdjustRightGives5) {
  if (!NtFamily()) return;
  HANDLE token = OwnToken(TOKEN_QUERY);
  CHECK_TRUE(token != nullptr);
  SetLastError(0xdeadbeef);
  CHECK_EQ(Adjust(token, Privilege("SeShutdownPrivilege"), SE_PRIVILEGE_ENABLED), FALSE);
  CHECK_ERROR(ERROR_ACCESS_DENIED);
  CloseHandle(token);
}

CONFORMANCE_CASE(security, AdjustTokenPrivileges_PreviousStateListsWhatChanged) {
  if (!NtFamily()) return;
  HANDLE token = OwnToken();
  const LUID shutdown = Privilege("SeShutdownPrivilege");
  CHECK_EQ(Adjust(token, shutdown, 0), TRUE);  // disabled, whatever it was
  struct {
    TOKEN_PRIVILEGES tp;
    LUID_AND_ATTRIBUTES more[4];
  } previous = {};
  DWORD needed = 0;
  CHECK_EQ(Adjust(token, shutdown, SE_PRIVILEGE_ENABLED, &previous.tp, sizeof previous, &needed),
           TRUE);
  CHECK_EQ(previous.tp.PrivilegeCount, 1u);
  CHECK_EQ(previous.tp.Privileges[0].Luid.LowPart, shutdown.LowPart);
  CHECK_EQ(previous.tp.Privileges[0].Attributes, 0u);
  CHECK_EQ(needed, 16u);
  CloseHandle(token);
}

// AllocateAndInitializeSid, FreeSid

CONFORMANCE_CASE(security, AllocateAndInitializeSid_Administrators) {
  WineDiffersOn9x(kWineSecurityOn9x);
  SID_IDENTIFIER_AUTHORITY nt = {{0, 0, 0, 0, 0, 5}};
  PSID sid = nullptr;
  SetLastError(0xdeadbeef);
  const BOOL ok = AllocateAndInitializeSid(&nt, 2, SECURITY_BUILTIN_DOMAIN_RID,
                                           DOMAIN_ALIAS_RID_ADMINS, 0, 0, 0, 0, 0, 0, &sid);
  if (NtFamily()) {
    CHECK_EQ(ok, TRUE);
    CHECK_TRUE(sid != nullptr);
    // Windows' layout: S-1-5-32-544.
    static const unsigned char kAdmins[] = {1, 2, 0, 0, 0, 0, 0, 5, 32, 0, 0, 0, 0x20, 2, 0, 0};
    if (sid) CHECK_EQ(std::memcmp(sid, kAdmins, sizeof kAdmins), 0);
    CHECK_TRUE(FreeSid(sid) == nullptr);
  } else {
    CHECK_EQ(ok, FALSE);
    CHECK_ERROR(ERROR_CALL_NOT_IMPLEMENTED);
  }
}

CONFORMANCE_CASE(security, FreeSid_AllocatedSidGivesNull) {
  if (!NtFamily()) return;  // nothing to free on 9x (AllocateAndInitializeSid_Administrators)
  PSID sid = MakeSid(SECURITY_LOCAL_SYSTEM_RID, 0, 1);
  CHECK_TRUE(sid != nullptr);
  CHECK_TRUE(FreeSid(sid) == nullptr);
}

CONFORMANCE_CASE(security, CloseHandle_TokenClosesOnce) {
  if (!NtFamily()) return;  // no tokens on 9x
  HANDLE token = OwnToken();
  CHECK_TRUE(token != nullptr);
  CHECK_EQ(CloseHandle(token), TRUE);
  SetLastError(0xdeadbeef);
  CHECK_EQ(CloseHandle(token), FALSE);
  CHECK_ERROR(ERROR_INVALID_HANDLE);
}

// SetSecurityInfo on registry keys

CONFORMANCE_CASE(security, SetSecurityInfo_OwnerToAdministrators) {
  WineDiffersOn9x(kWineSecurityOn9x);
  MakeScratchKey("Owned");
  HKEY key = OpenScratch("Owned", WRITE_OWNER);
  if (NtFamily()) {
    PSID admins = Administrators();
    CHECK_EQ(SetSecurityInfo(key, SE_REGISTRY_KEY, OWNER_SECURITY_INFORMATION, admins, nullptr,
                             nullptr, nullptr),
             static_cast<DWORD>(ERROR_SUCCESS));
    FreeSid(admins);
  } else {
    CHECK_EQ(SetSecurityInfo(key, SE_REGISTRY_KEY, OWNER_SECURITY_INFORMATION, nullptr, nullptr,
                             nullptr, nullptr),
             static_cast<DWORD>(ERROR_CALL_NOT_IMPLEMENTED));
  }
  RegCloseKey(key);
}

CONFORMANCE_CASE(security, SetSecurityInfo_OwnerNeedsWriteOwnerRight) {
  if (!NtFamily()) return;  // SetSecurityInfo_OwnerToAdministrators
  MakeScratchKey("ReadOnly");
  PSID admins = Administrators();
  HKEY key = OpenScratch("ReadOnly", KEY_READ);
  CHECK_EQ(SetSecurityInfo(key, SE_REGISTRY_KEY, OWNER_SECURITY_INFORMATION, admins, nullptr,
                           nullptr, nullptr),
           static_cast<DWORD>(ERROR_ACCESS_DENIED));
  RegCloseKey(key);
  FreeSid(admins);
}

CONFORMANCE_CASE(security, SetSecurityInfo_OwnerOutsideTheTokenGives1307) {
  // The local system (S-1-5-18) is no group of an administrator's token.
  if (!NtFamily()) return;
  WINE_DIFFERS(
      "Wine accepts any owner; Windows only the user or a token group that may own objects, "
      "unless SeRestorePrivilege is enabled (Platform SDK, Ownership of Objects)");
  MakeScratchKey("System");
  PSID system = MakeSid(SECURITY_LOCAL_SYSTEM_RID, 0, 1);
  HKEY key = OpenScratch("System", WRITE_OWNER);
  CHECK_EQ(SetSecurityInfo(key, SE_REGISTRY_KEY, OWNER_SECURITY_INFORMATION, system, nullptr,
                           nullptr, nullptr),
           static_cast<DWORD>(ERROR_INVALID_OWNER));
  RegCloseKey(key);
  FreeSid(system);
}

CONFORMANCE_CASE(security, SetSecurityInfo_NullAccessListNeedsWriteDac) {
  // A handle opened for WRITE_OWNER alone cannot change the access list: the
  // key must be opened again with WRITE_DAC.
  if (!NtFamily()) return;
  MakeScratchKey("Open\\Sub");
  HKEY owner = OpenScratch("Open", WRITE_OWNER);
  CHECK_EQ(SetSecurityInfo(owner, SE_REGISTRY_KEY, DACL_SECURITY_INFORMATION, nullptr, nullptr,
                           nullptr, nullptr),
           static_cast<DWORD>(ERROR_ACCESS_DENIED));
  RegCloseKey(owner);
  HKEY dac = OpenScratch("Open", WRITE_DAC);
  CHECK_EQ(SetSecurityInfo(dac, SE_REGISTRY_KEY, DACL_SECURITY_INFORMATION, nullptr, nullptr,
                           nullptr, nullptr),
           static_cast<DWORD>(ERROR_SUCCESS));
  RegCloseKey(dac);
  // No access list: every right, deletion included.
  RegCloseKey(OpenScratch("Open", KEY_ALL_ACCESS));
  CHECK_EQ(RegDeleteKeyA(HKEY_CURRENT_USER, Scratch::Key("Open\\Sub").c_str()), ERROR_SUCCESS);
  CHECK_EQ(RegDeleteKeyA(HKEY_CURRENT_USER, Scratch::Key("Open").c_str()), ERROR_SUCCESS);
  CHECK_TRUE(!ScratchKeyExists("Open"));
}

CONFORMANCE_CASE(security, SetSecurityInfo_ClosedKeyGives6) {
  if (!NtFamily()) return;
  CHECK_EQ(SetSecurityInfo(ClosedHandle(), SE_REGISTRY_KEY, DACL_SECURITY_INFORMATION, nullptr,
                           nullptr, nullptr, nullptr),
           static_cast<DWORD>(ERROR_INVALID_HANDLE));
}
