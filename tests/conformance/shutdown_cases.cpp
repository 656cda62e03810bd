// Shutdown requests. No case ever makes a request that could be accepted:
// under Wine ExitWindowsEx ends the Wine session running the cases, and on a
// real PC it would restart it. Every request here is made with
// SeShutdownPrivilege disabled first, names a computer that does not exist,
// or goes to Windows 9x's advapi32, which only has the name. (ExitWindowsEx
// on Windows 9x needs no privilege, so it has no case at all.)
#include "conformance/conformance.h"

using namespace conformance;

namespace {

constexpr char kNoSuchComputer[] = "\\\\CVS-NO-SUCH-PC-4711";
constexpr char kNotDisabled[] =
    "set-up: SeShutdownPrivilege could not be disabled; no request was made";
constexpr char kWineShutdownStub[] =
    "Wine's InitiateSystemShutdownExA is a stub that returns TRUE and does nothing "
    "(dlls/advapi32/advapi.c; wine-notes.md)";

// Disables SeShutdownPrivilege in the own token. True only when it is
// certainly not enabled now: TRUE from AdjustTokenPrivileges, with last error
// 0 (disabled) or 1300 (the token does not hold it).
bool ShutdownPrivilegeDisabled() {
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token))
    return false;
  TOKEN_PRIVILEGES tp = {};
  tp.PrivilegeCount = 1;
  tp.Privileges[0].Attributes = 0;
  bool disabled = LookupPrivilegeValueA(nullptr, "SeShutdownPrivilege", &tp.Privileges[0].Luid);
  if (disabled) {
    SetLastError(0xdeadbeef);
    disabled = AdjustTokenPrivileges(token, FALSE, &tp, 0, nullptr, nullptr) &&
               (GetLastError() == ERROR_SUCCESS ||
                GetLastError() == static_cast<DWORD>(ERROR_NOT_ALL_ASSIGNED));
  }
  CloseHandle(token);
  return disabled;
}

}  // namespace

// GetCurrentProcess

CONFORMANCE_CASE(shutdown, GetCurrentProcess_PseudoHandleOpensTheOwnToken) {
  HANDLE self = GetCurrentProcess();
  CHECK_TRUE(self == reinterpret_cast<HANDLE>(static_cast<intptr_t>(-1)));
  if (!NtFamily()) return;  // no tokens on 9x (security_cases.cpp)
  HANDLE token = nullptr;
  CHECK_EQ(OpenProcessToken(self, TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token), TRUE);
  CHECK_TRUE(token != nullptr);
  if (token) CloseHandle(token);
}

// ExitWindowsEx

CONFORMANCE_CASE(shutdown, ExitWindowsEx_WithoutThePrivilegeGives1314) {
  // Only on the NT family, and never under Wine: Wine checks no privilege
  // and ends its session at once (dlls/user32/user_main.c ExitWindowsEx runs
  // wineboot --end-session). Windows: win32k refuses a shutdown, restart or
  // power-off without SeShutdownPrivilege enabled, STATUS_PRIVILEGE_NOT_HELD
  // (ReactOS win32ss/user/ntuser/shutdown.c UserInitiateShutdown; Platform
  // SDK, ExitWindowsEx).
  if (!NtFamily() || UnderWine()) return;
  if (!ShutdownPrivilegeDisabled()) {
    RecordFailure(__FILE__, __LINE__, kNotDisabled);
    return;
  }
  for (UINT flags : {EWX_REBOOT, EWX_SHUTDOWN, EWX_POWEROFF, EWX_REBOOT | EWX_FORCE}) {
    SetLastError(0xdeadbeef);
    CHECK_EQ(ExitWindowsEx(flags, 0), FALSE);
    CHECK_ERROR(ERROR_PRIVILEGE_NOT_HELD);
  }
}

// InitiateSystemShutdownA

CONFORMANCE_CASE(shutdown, InitiateSystemShutdownA_WithoutThePrivilegeGives5) {
  // NT: the request goes to the InitShutdown server, which answers a caller
  // without the privilege ERROR_ACCESS_DENIED (MS-RSP 3.2.4.1
  // BaseInitiateShutdown). 9x: not implemented, 120 (Platform SDK:
  // "Windows: Unsupported").
  WINE_DIFFERS(kWineShutdownStub);
  if (NtFamily() && !ShutdownPrivilegeDisabled()) {
    RecordFailure(__FILE__, __LINE__, kNotDisabled);
    return;
  }
  char message[] = "conformance case: no shutdown";
  SetLastError(0xdeadbeef);
  CHECK_EQ(InitiateSystemShutdownA(nullptr, message, 0, TRUE, TRUE), FALSE);
  CHECK_ERROR(NtFamily() ? ERROR_ACCESS_DENIED : ERROR_CALL_NOT_IMPLEMENTED);
  char empty[] = "";
  SetLastError(0xdeadbeef);
  CHECK_EQ(InitiateSystemShutdownA(empty, nullptr, 30, FALSE, FALSE), FALSE);
  CHECK_ERROR(NtFamily() ? ERROR_ACCESS_DENIED : ERROR_CALL_NOT_IMPLEMENTED);
}

CONFORMANCE_CASE(shutdown, InitiateSystemShutdownA_UnknownComputerGives53) {
  // The request travels over a named pipe of the named computer (MS-RSP 2.1):
  // a name the network does not know has no path, ERROR_BAD_NETPATH.
  WINE_DIFFERS(kWineShutdownStub);
  if (NtFamily() && !ShutdownPrivilegeDisabled()) {
    RecordFailure(__FILE__, __LINE__, kNotDisabled);
    return;
  }
  char name[sizeof kNoSuchComputer];
  for (size_t i = 0; i < sizeof name; ++i) name[i] = kNoSuchComputer[i];
  SetLastError(0xdeadbeef);
  CHECK_EQ(InitiateSystemShutdownA(name, nullptr, 0, TRUE, TRUE), FALSE);
  CHECK_ERROR(NtFamily() ? ERROR_BAD_NETPATH : ERROR_CALL_NOT_IMPLEMENTED);
}
