// Shutdown requests of the simulated PC. A request that Windows accepts is
// recorded in machine.json "restart"; Windows then ends the program at its
// next wait (sim::User), and `vtsim reboot` is the restart itself.
#include <nlohmann/json.hpp>
#include <string>

#include "platform/win32.h"
#include "sim/machine.h"
#include "sim/text.h"

namespace {

using sim::Machine;

// Shutting down needs the privilege enabled in the token, not merely held.
bool ShutdownEnabled(const Machine& m) {
  return m.system.enabled_privileges.count("SeShutdownPrivilege") != 0;
}

// The local computer: no name, an empty one, or this PC's name (with or
// without the leading backslashes of a network name).
bool IsThisComputer(const Machine& m, const char* name) {
  if (name == nullptr || *name == '\0') return true;
  std::string plain = name;
  if (plain.compare(0, 2, "\\\\") == 0) plain = plain.substr(2);
  return sim::EqualNoCase(plain, m.system.computer_name);
}

void RecordRestart(Machine& m, const nlohmann::ordered_json& request) {
  m.json["restart"] = request;
  m.user.EndAtNextWait();
}

}  // namespace

BOOL WINAPI ExitWindowsEx(UINT uFlags, DWORD dwReason) {
  (void)dwReason;  // only recorded in the event log of later Windows versions
  Machine& m = sim::CurrentOrDie();
  if (DWORD e = m.faults.Check("ExitWindowsEx")) return sim::Fail(m, e, FALSE);
  // NT: shutting down, restarting and powering off need SeShutdownPrivilege
  // enabled; logging off does not. Windows 9x checks nothing. (user32 asks
  // win32k, which answers STATUS_PRIVILEGE_NOT_HELD: ReactOS
  // win32ss/user/ntuser/shutdown.c UserInitiateShutdown; Platform SDK,
  // ExitWindowsEx: "must use AdjustTokenPrivileges to enable SE_SHUTDOWN_NAME".)
  const bool goesDown = (uFlags & (EWX_SHUTDOWN | EWX_REBOOT | EWX_POWEROFF)) != 0;
  if (m.system.NtFamily() && goesDown && !ShutdownEnabled(m))
    return sim::Fail(m, ERROR_PRIVILEGE_NOT_HELD, FALSE);
  RecordRestart(m, {{"call", "ExitWindowsEx"}, {"flags", uFlags}});
  return TRUE;
}

BOOL WINAPI InitiateSystemShutdownA(LPSTR lpMachineName, LPSTR lpMessage, DWORD dwTimeout,
                                    BOOL bForceAppsClosed, BOOL bRebootAfterShutdown) {
  Machine& m = sim::CurrentOrDie();
  // Windows 9x's advapi32 has the name only (Platform SDK: "Windows: Unsupported").
  if (!m.system.NtFamily()) return sim::Fail(m, ERROR_CALL_NOT_IMPLEMENTED, FALSE);
  if (DWORD e =
          m.faults.Check("InitiateSystemShutdownA", "", "", lpMachineName ? lpMachineName : ""))
    return sim::Fail(m, e, FALSE);
  // The request goes to the shutdown server of the named computer over a
  // named pipe (MS-RSP 2.1); a computer the network does not know has no path.
  if (!IsThisComputer(m, lpMachineName)) return sim::Fail(m, ERROR_BAD_NETPATH, FALSE);
  // MS-RSP 3.2.4.1 BaseInitiateShutdown: a caller without the privilege to
  // shut the computer down gets ERROR_ACCESS_DENIED.
  if (!ShutdownEnabled(m)) return sim::Fail(m, ERROR_ACCESS_DENIED, FALSE);
  nlohmann::ordered_json request = {{"call", "InitiateSystemShutdownA"}};
  if (lpMessage != nullptr) request["message"] = sim::AnsiToUtf8(lpMessage);
  request["timeout"] = dwTimeout;
  request["force"] = bForceAppsClosed != FALSE;
  request["reboot"] = bRebootAfterShutdown != FALSE;
  RecordRestart(m, request);
  return TRUE;
}
