#include "app/reboot.h"

#include "app/version_code.h"
#include "log/run_log.h"
#include "resources/string_table.h"

namespace {

void LogFailure(const char* call, DWORD code) {
  CRunLog log;
  log.LogError(std::string("CReboot::CReboot() -- ") + call + "()", "", code);
}

}  // namespace

CReboot::CReboot() {
  m_nWinVersion = GetWindowsVersionCode();
  if (IsWin9xFamily(m_nWinVersion)) {
    m_bCanReboot = 1;  // Windows 9x knows no privileges
    return;
  }
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &m_hToken)) {
    m_hToken = nullptr;
    LogFailure("OpenProcessToken", GetLastError());
    return;
  }
  TOKEN_PRIVILEGES privileges = {};
  if (!LookupPrivilegeValueA(nullptr, "SeShutdownPrivilege", &privileges.Privileges[0].Luid)) {
    LogFailure("LookupPrivilegeValue", GetLastError());
    return;
  }
  privileges.PrivilegeCount = 1;
  privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
  const BOOL adjusted = AdjustTokenPrivileges(m_hToken, FALSE, &privileges, 0, nullptr, nullptr);
  // A privilege the account does not hold is not enabled, yet the call
  // succeeds: only its last error tells, and the shutdown would then fail.
  const DWORD code = GetLastError();
  if (!adjusted || code == static_cast<DWORD>(ERROR_NOT_ALL_ASSIGNED)) {
    LogFailure("AdjustTokenPrivileges", code);
    return;
  }
  m_bCanReboot = 1;
}

CReboot::~CReboot() {
  if (m_hToken != nullptr) CloseHandle(m_hToken);
}

int CReboot::RestartWindows() {
  // A failed shutdown call is neither shown nor logged: the dialog stays open.
  if (m_bCanReboot && IsWin9xFamily(m_nWinVersion)) return ExitWindowsEx(EWX_REBOOT, 0);
  if (m_bCanReboot) {
    std::string message = LoadStr(IDS_REBOOT_SHUTDOWN_MESSAGE);
    return InitiateSystemShutdownA(nullptr, &message[0], 0, TRUE, TRUE);
  }
  return MessageBoxA(nullptr, LoadStr(IDS_REBOOT_MANUALLY), LoadStr(IDS_MESSAGE_CAPTION), MB_OK);
}
