#include "registry/secure_reg_delete.h"

#include <vector>

#include "log/run_log.h"
#include "platform/format_text.h"
#include "resources/string_table.h"

namespace {

constexpr size_t kSecureKeyLimit = 259;
constexpr DWORD kKeyNameCapacity = 256;  // 255 characters and the terminator

// Run-wide state: prepared once, then serving every protected key of the run.
bool g_bSecurePrepared = false;
PSID g_pAdminSid = nullptr;
HANDLE g_hSecureToken = nullptr;
std::string g_sCurrentSecureKey;

void ReportFailure(const char* origin, DWORD code) {
  CRunLog log;
  log.LogError(origin, FormatText(LoadStr(IDS_SECURE_KEY_NO_RIGHTS), g_sCurrentSecureKey.c_str()),
               code);
}

struct HiveName {
  const char* name;
  HKEY hive;
};

}  // namespace

const std::string& CurrentSecureKey() { return g_sCurrentSecureKey; }

void ResetSecureRegDeleteState() {
  g_bSecurePrepared = false;
  g_pAdminSid = nullptr;
  g_hSecureToken = nullptr;
  g_sCurrentSecureKey.clear();
}

LONG CSecureRegDelete::DeleteSecureKey(const char* sHive, const char* sKey) {
  const std::string joined =
      std::string(sHive != nullptr ? sHive : "") + "\\" + (sKey != nullptr ? sKey : "");
  // The reports quote at most 259 characters; the deletion uses the whole path.
  g_sCurrentSecureKey = joined.substr(0, kSecureKeyLimit);
  {
    CRunLog log;
    log.LogText(FormatText(LoadStr(IDS_SECURE_KEY_PROTECTED), g_sCurrentSecureKey.c_str()));
  }
  if (!g_bSecurePrepared) {
    g_bSecurePrepared = true;
    Init();
  }
  const size_t slash = joined.find('\\');
  return DeleteKeyTree(GetHiveByName(joined.substr(0, slash)), joined.substr(slash + 1));
}

void CSecureRegDelete::Init() {
  SID_IDENTIFIER_AUTHORITY ntAuthority = {{0, 0, 0, 0, 0, 5}};
  if (!AllocateAndInitializeSid(&ntAuthority, 2, SECURITY_BUILTIN_DOMAIN_RID,
                                DOMAIN_ALIAS_RID_ADMINS, 0, 0, 0, 0, 0, 0, &g_pAdminSid)) {
    g_pAdminSid = nullptr;
    ReportFailure("CSecureRegDelete::Init() -- AllocateAndInitializeSid()", GetLastError());
    return;
  }
  HANDLE token = nullptr;
  GetTokenHandle(&token);
  g_hSecureToken = token;
  AssertTakeOwnership(token);
}

void CSecureRegDelete::GetTokenHandle(HANDLE* phToken) {
  *phToken = nullptr;
  HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, GetCurrentProcessId());
  if (process == nullptr) {
    ReportFailure("CSecureRegDelete::GetTokenHandle() -- OpenProcess()", GetLastError());
    return;
  }
  if (!OpenProcessToken(process, TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, phToken)) {
    const DWORD code = GetLastError();
    *phToken = nullptr;
    ReportFailure("CSecureRegDelete::GetTokenHandle() -- OpenProcessToken()", code);
  }
  // The token stays valid without the process handle.
  CloseHandle(process);
}

void CSecureRegDelete::AssertTakeOwnership(HANDLE hToken) {
  LUID luid = {};
  if (!LookupPrivilegeValueA(nullptr, "SeTakeOwnershipPrivilege", &luid)) {
    ReportFailure("CSecureRegDelete::AssertTakeOwnership() -- LookupPrivilegeValue()",
                  GetLastError());
    return;
  }
  TOKEN_PRIVILEGES privileges = {};
  privileges.PrivilegeCount = 1;
  privileges.Privileges[0].Luid = luid;
  privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
  // A privilege the user does not hold still succeeds (last error 1300): the
  // takeovers then fail on their own.
  if (!AdjustTokenPrivileges(hToken, FALSE, &privileges, 0, nullptr, nullptr)) {
    ReportFailure("CSecureRegDelete::AssertTakeOwnership() -- AdjustTokenPrivileges()",
                  GetLastError());
  }
}

void CSecureRegDelete::TakeKeyOwnership(HKEY hHive, const std::string& sKey) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(hHive, sKey.c_str(), 0, WRITE_OWNER, &key) != ERROR_SUCCESS) return;
  const bool owned = g_pAdminSid != nullptr &&
                     SetSecurityInfo(key, SE_REGISTRY_KEY, OWNER_SECURITY_INFORMATION, g_pAdminSid,
                                     nullptr, nullptr, nullptr) == ERROR_SUCCESS;
  RegCloseKey(key);
  if (!owned) return;
  // Windows grants the new owner WRITE_DAC only on a new open of the key.
  if (RegOpenKeyExA(hHive, sKey.c_str(), 0, WRITE_DAC, &key) != ERROR_SUCCESS) return;
  SetSecurityInfo(key, SE_REGISTRY_KEY, DACL_SECURITY_INFORMATION, nullptr, nullptr, nullptr,
                  nullptr);
  RegCloseKey(key);
}

LONG CSecureRegDelete::DeleteKeyTree(HKEY hHive, const std::string& sKey) {
  TakeKeyOwnership(hHive, sKey);
  HKEY key = nullptr;
  const LONG opened = RegOpenKeyExA(hHive, sKey.c_str(), 0, KEY_ALL_ACCESS, &key);
  if (opened != ERROR_SUCCESS) return opened;
  // Index 0 each time: deleting a subkey moves the next one there.
  char name[kKeyNameCapacity];
  for (;;) {
    DWORD size = kKeyNameCapacity;
    if (RegEnumKeyExA(key, 0, name, &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
      break;
    const LONG result = DeleteKeyTree(key, name);
    if (result != ERROR_SUCCESS) {
      RegCloseKey(key);
      return result;
    }
  }
  RegCloseKey(key);
  return RegDeleteKeyA(hHive, sKey.c_str());
}

HKEY CSecureRegDelete::GetHiveByName(const std::string& sName) {
  static const HiveName kHives[] = {
      {"HKCR", HKEY_CLASSES_ROOT},
      {"HKEY_CLASSES_ROOT", HKEY_CLASSES_ROOT},
      {"HKEY_CURRENT_USER", HKEY_CURRENT_USER},
      {"HKLM", HKEY_LOCAL_MACHINE},
      {"HKEY_LOCAL_MACHINE", HKEY_LOCAL_MACHINE},
      {"HKEY_USERS", HKEY_USERS},
      {"HKEY_PERFORMANCE_DATA", HKEY_PERFORMANCE_DATA},
      {"HKEY_CURRENT_CONFIG", HKEY_CURRENT_CONFIG},
      {"HKEY_DYN_DATA", HKEY_DYN_DATA},
  };
  std::vector<char> upper(sName.begin(), sName.end());
  if (!upper.empty()) CharUpperBuffA(upper.data(), static_cast<DWORD>(upper.size()));
  const std::string name(upper.begin(), upper.end());
  for (const HiveName& h : kHives) {
    if (name == h.name) return h.hive;
  }
  return nullptr;
}
