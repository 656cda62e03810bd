// The service control manager's calls on the simulated PC (advapi32). The
// Windows 9x family has no service manager: its advapi32 answers every call
// with 120.
#include <cstring>
#include <string>

#include "platform/win32.h"
#include "sim/machine.h"
#include "sim/services.h"

using sim::Fail;
using sim::Machine;
using Json = nlohmann::ordered_json;

namespace {

constexpr DWORD kGenericRead = 0x80000000;
constexpr DWORD kGenericWrite = 0x40000000;
constexpr DWORD kGenericExecute = 0x20000000;
constexpr DWORD kGenericAll = 0x10000000;
constexpr DWORD kStandardRead = READ_CONTROL;

// Generic rights as the manager and services map them.
DWORD MapManagerAccess(DWORD access) {
  DWORD out = access & ~(kGenericRead | kGenericWrite | kGenericExecute | kGenericAll);
  if (access & kGenericRead)
    out |= kStandardRead | SC_MANAGER_ENUMERATE_SERVICE | SC_MANAGER_QUERY_LOCK_STATUS;
  if (access & kGenericWrite)
    out |= kStandardRead | SC_MANAGER_CREATE_SERVICE | SC_MANAGER_MODIFY_BOOT_CONFIG;
  if (access & kGenericExecute) out |= kStandardRead | SC_MANAGER_CONNECT | SC_MANAGER_LOCK;
  if (access & kGenericAll) out |= SC_MANAGER_ALL_ACCESS;
  return out | SC_MANAGER_CONNECT;
}

DWORD MapServiceAccess(DWORD access) {
  DWORD out = access & ~(kGenericRead | kGenericWrite | kGenericExecute | kGenericAll);
  if (access & kGenericRead)
    out |= kStandardRead | SERVICE_QUERY_CONFIG | SERVICE_QUERY_STATUS | SERVICE_INTERROGATE |
           SERVICE_ENUMERATE_DEPENDENTS;
  if (access & kGenericWrite) out |= kStandardRead | SERVICE_CHANGE_CONFIG;
  if (access & kGenericExecute)
    out |= kStandardRead | SERVICE_START | SERVICE_STOP | SERVICE_PAUSE_CONTINUE |
           SERVICE_USER_DEFINED_CONTROL;
  if (access & kGenericAll) out |= SERVICE_ALL_ACCESS;
  return out;
}

// What a user without administrator rights is granted (the default
// security of the manager and of a service on Windows 2000/XP).
constexpr DWORD kUserManagerRights =
    SC_MANAGER_CONNECT | SC_MANAGER_ENUMERATE_SERVICE | SC_MANAGER_QUERY_LOCK_STATUS | READ_CONTROL;
constexpr DWORD kUserServiceRights = SERVICE_QUERY_CONFIG | SERVICE_QUERY_STATUS |
                                     SERVICE_ENUMERATE_DEPENDENTS | SERVICE_INTERROGATE |
                                     SERVICE_USER_DEFINED_CONTROL | READ_CONTROL;

// Machine and the call's preliminaries: the 9x family has no service
// manager, clock-driven changes are carried out first.
// `call` null: the caller checks the faults itself once it knows the service.
Machine* Enter(const char* call, const std::string& name = "") {
  Machine& m = sim::CurrentOrDie();
  if (!m.system.NtFamily()) {
    m.last_error = ERROR_CALL_NOT_IMPLEMENTED;
    return nullptr;
  }
  m.services.Settle(m);
  if (!call) return &m;
  if (DWORD e = m.faults.Check(call, "", "", name)) {
    m.last_error = e;
    return nullptr;
  }
  return &m;
}

// A missing name: NT 4 calls it a bad parameter, later versions a bad address.
DWORD MissingPointer(const Machine& m) {
  return m.system.version.major == 4 ? ERROR_INVALID_PARAMETER : ERROR_INVALID_ADDRESS;
}

// The local computer: no name, "", its name, or its name after "\\".
bool LocalMachineName(const Machine& m, const char* name) {
  if (!name || !*name) return true;
  std::string n = name;
  if (n.rfind("\\\\", 0) == 0) n = n.substr(2);
  return sim::EqualNoCase(n, m.system.computer_name);
}

std::string Text(const Json& entry, const char* field, const std::string& fallback = "") {
  return entry.contains(field) && entry[field].is_string()
             ? sim::Utf8ToAnsi(entry[field].get<std::string>())
             : fallback;
}

DWORD ServiceType(const Json& entry) {
  const std::string type = Text(entry, "type", "own_process");
  if (type == "kernel_driver") return SERVICE_KERNEL_DRIVER;
  if (type == "file_system_driver") return SERVICE_FILE_SYSTEM_DRIVER;
  if (type == "share_process") return SERVICE_WIN32_SHARE_PROCESS;
  return SERVICE_WIN32_OWN_PROCESS;
}

DWORD StartType(const Json& entry) {
  static const char* const kNames[] = {"boot", "system", "auto", "demand", "disabled"};
  const std::string start = Text(entry, "start_type", "auto");
  for (DWORD i = 0; i < 5; ++i)
    if (start == kNames[i]) return i;
  return SERVICE_AUTO_START;
}

bool AcceptsStop(const Json& entry) {
  return !entry.contains("accepts_stop") || !entry["accepts_stop"].is_boolean() ||
         entry["accepts_stop"].get<bool>();
}

void FillStatus(const Json& entry, SERVICE_STATUS* status) {
  std::memset(status, 0, sizeof *status);
  status->dwServiceType = ServiceType(entry);
  status->dwCurrentState = sim::ServiceManager::State(entry);
  if (status->dwCurrentState == SERVICE_RUNNING || status->dwCurrentState == SERVICE_PAUSED) {
    status->dwControlsAccepted = AcceptsStop(entry) ? SERVICE_ACCEPT_STOP : 0;
  } else if (status->dwCurrentState == SERVICE_STOP_PENDING) {
    status->dwCheckPoint = 1;
    status->dwWaitHint = 3000;
  }
}

// The handle of an open service holding `right`, or nullptr with the error
// set. A fault of `call` matches by the service's name.
sim::ServiceHandle* ServiceFor(Machine& m, const char* call, SC_HANDLE h, DWORD right,
                               Json** entry) {
  sim::ServiceHandle* sh = m.services.Get(h);
  if (DWORD e = m.faults.Check(call, "", "", sh && !sh->manager ? sh->name : ""))
    return Fail(m, e, nullptr);
  if (!sh || sh->manager) return Fail(m, ERROR_INVALID_HANDLE, nullptr);
  if ((sh->access & right) != right) return Fail(m, ERROR_ACCESS_DENIED, nullptr);
  *entry = m.services.Find(m, sh->name);
  if (!*entry) return Fail(m, ERROR_INVALID_HANDLE, nullptr);  // gone: cannot happen while open
  return sh;
}

}  // namespace

SC_HANDLE WINAPI OpenSCManagerA(LPCSTR lpMachineName, LPCSTR lpDatabaseName,
                                DWORD dwDesiredAccess) {
  Machine* m = Enter("OpenSCManagerA");
  if (!m) return nullptr;
  // Another computer is reached over the network; this PC has none.
  if (!LocalMachineName(*m, lpMachineName)) return Fail(*m, RPC_S_SERVER_UNAVAILABLE, nullptr);
  if (lpDatabaseName) {
    if (sim::EqualNoCase(lpDatabaseName, SERVICES_FAILED_DATABASEA))
      return Fail(*m, ERROR_DATABASE_DOES_NOT_EXIST, nullptr);
    if (!sim::EqualNoCase(lpDatabaseName, SERVICES_ACTIVE_DATABASEA))
      return Fail(*m, ERROR_INVALID_NAME, nullptr);
  }
  const DWORD access = MapManagerAccess(dwDesiredAccess);
  if (!m->system.administrator && (access & ~kUserManagerRights))
    return Fail(*m, ERROR_ACCESS_DENIED, nullptr);
  m->last_error = ERROR_SUCCESS;
  return m->services.Open({true, "", access});
}

SC_HANDLE WINAPI OpenServiceA(SC_HANDLE hSCManager, LPCSTR lpServiceName, DWORD dwDesiredAccess) {
  Machine* m = Enter("OpenServiceA", lpServiceName ? lpServiceName : "");
  if (!m) return nullptr;
  sim::ServiceHandle* manager = m->services.Get(hSCManager);
  if (!manager || !manager->manager) return Fail(*m, ERROR_INVALID_HANDLE, nullptr);
  if (!lpServiceName) return Fail(*m, MissingPointer(*m), nullptr);
  Json* entry = m->services.Find(*m, lpServiceName);
  if (!entry) return Fail(*m, ERROR_SERVICE_DOES_NOT_EXIST, nullptr);
  const DWORD access = MapServiceAccess(dwDesiredAccess);
  if (!m->system.administrator && (access & ~kUserServiceRights))
    return Fail(*m, ERROR_ACCESS_DENIED, nullptr);
  m->last_error = ERROR_SUCCESS;
  return m->services.Open({false, Text(*entry, "name"), access});
}

SC_HANDLE WINAPI CreateServiceA(SC_HANDLE hSCManager, LPCSTR lpServiceName, LPCSTR lpDisplayName,
                                DWORD dwDesiredAccess, DWORD dwServiceType, DWORD dwStartType,
                                DWORD dwErrorControl, LPCSTR lpBinaryPathName,
                                LPCSTR /*lpLoadOrderGroup*/, LPDWORD lpdwTagId,
                                LPCSTR /*lpDependencies*/, LPCSTR /*lpServiceStartName*/,
                                LPCSTR /*lpPassword*/) {
  Machine* m = Enter("CreateServiceA", lpServiceName ? lpServiceName : "");
  if (!m) return nullptr;
  sim::ServiceHandle* manager = m->services.Get(hSCManager);
  if (!manager || !manager->manager) return Fail(*m, ERROR_INVALID_HANDLE, nullptr);
  // Checked in Windows' order: the pointers, the right, then the contents.
  if (!lpServiceName || !lpBinaryPathName) return Fail(*m, MissingPointer(*m), nullptr);
  if (!(manager->access & SC_MANAGER_CREATE_SERVICE)) return Fail(*m, ERROR_ACCESS_DENIED, nullptr);
  if (!*lpServiceName || std::strchr(lpServiceName, '\\') || std::strchr(lpServiceName, '/'))
    return Fail(*m, ERROR_INVALID_NAME, nullptr);
  if (!*lpBinaryPathName) return Fail(*m, ERROR_INVALID_PARAMETER, nullptr);
  const DWORD kind = dwServiceType & ~SERVICE_INTERACTIVE_PROCESS;
  const bool driver = kind == SERVICE_KERNEL_DRIVER || kind == SERVICE_FILE_SYSTEM_DRIVER;
  const bool win32 = kind == SERVICE_WIN32_OWN_PROCESS || kind == SERVICE_WIN32_SHARE_PROCESS;
  if (!driver && !win32) return Fail(*m, ERROR_INVALID_PARAMETER, nullptr);
  if ((dwServiceType & SERVICE_INTERACTIVE_PROCESS) && !win32)
    return Fail(*m, ERROR_INVALID_PARAMETER, nullptr);
  if (dwStartType > SERVICE_DISABLED || (!driver && dwStartType < SERVICE_AUTO_START))
    return Fail(*m, ERROR_INVALID_PARAMETER, nullptr);
  if (dwErrorControl > 3) return Fail(*m, ERROR_INVALID_PARAMETER, nullptr);
  if (Json* existing = m->services.Find(*m, lpServiceName)) {
    return Fail(*m,
                m->services.Marked(Text(*existing, "name")) ? ERROR_SERVICE_MARKED_FOR_DELETE
                                                            : ERROR_SERVICE_EXISTS,
                nullptr);
  }
  const std::string display = lpDisplayName && *lpDisplayName ? lpDisplayName : lpServiceName;
  if (m->json.contains("services") && m->json["services"].is_array()) {
    for (const Json& other : m->json["services"]) {
      if (sim::EqualNoCase(Text(other, "display_name", Text(other, "name")), display))
        return Fail(*m, ERROR_DUPLICATE_SERVICE_NAME, nullptr);
    }
  }
  static const char* const kStartNames[] = {"boot", "system", "auto", "demand", "disabled"};
  static const char* kTypeNames[] = {"kernel_driver", "file_system_driver", "own_process",
                                     "share_process"};
  const char* type = kind == SERVICE_KERNEL_DRIVER        ? kTypeNames[0]
                     : kind == SERVICE_FILE_SYSTEM_DRIVER ? kTypeNames[1]
                     : kind == SERVICE_WIN32_OWN_PROCESS  ? kTypeNames[2]
                                                          : kTypeNames[3];
  Json entry = Json::object();
  entry["name"] = sim::AnsiToUtf8(lpServiceName);
  entry["state"] = "stopped";
  entry["display_name"] = sim::AnsiToUtf8(display);
  entry["binary_path"] = sim::AnsiToUtf8(lpBinaryPathName);
  entry["start_type"] = kStartNames[dwStartType];
  entry["type"] = type;
  m->services.Add(*m, std::move(entry));
  if (lpdwTagId) *lpdwTagId = 0;
  m->last_error = ERROR_SUCCESS;
  return m->services.Open({false, lpServiceName, MapServiceAccess(dwDesiredAccess)});
}

BOOL WINAPI QueryServiceConfigA(SC_HANDLE hService, LPQUERY_SERVICE_CONFIGA lpServiceConfig,
                                DWORD cbBufSize, LPDWORD pcbBytesNeeded) {
  Machine* m = Enter(nullptr);
  if (!m) return FALSE;
  Json* entry = nullptr;
  if (!ServiceFor(*m, "QueryServiceConfigA", hService, SERVICE_QUERY_CONFIG, &entry)) return FALSE;
  if (!pcbBytesNeeded) return Fail(*m, RPC_X_NULL_REF_POINTER, FALSE);
  // The strings follow the record, each with its zero; the dependencies
  // are an empty list (two zeros).
  const std::string name = Text(*entry, "name");
  const std::string strings[] = {Text(*entry, "binary_path"), "", std::string(1, '\0'),
                                 "LocalSystem", Text(*entry, "display_name", name)};
  DWORD needed = sizeof(QUERY_SERVICE_CONFIGA);
  for (const std::string& s : strings) needed += static_cast<DWORD>(s.size() + 1);
  *pcbBytesNeeded = needed;
  if (!lpServiceConfig || cbBufSize < needed) return Fail(*m, ERROR_INSUFFICIENT_BUFFER, FALSE);
  char* out = reinterpret_cast<char*>(lpServiceConfig + 1);
  LPSTR places[5];
  for (int i = 0; i < 5; ++i) {
    places[i] = out;
    std::memcpy(out, strings[i].c_str(), strings[i].size() + 1);
    out += strings[i].size() + 1;
  }
  lpServiceConfig->dwServiceType = ServiceType(*entry);
  lpServiceConfig->dwStartType = StartType(*entry);
  lpServiceConfig->dwErrorControl = SERVICE_ERROR_NORMAL;
  lpServiceConfig->lpBinaryPathName = places[0];
  lpServiceConfig->lpLoadOrderGroup = places[1];
  lpServiceConfig->dwTagId = 0;
  lpServiceConfig->lpDependencies = places[2];
  lpServiceConfig->lpServiceStartName = places[3];
  lpServiceConfig->lpDisplayName = places[4];
  m->last_error = ERROR_SUCCESS;
  return TRUE;
}

BOOL WINAPI QueryServiceStatus(SC_HANDLE hService, LPSERVICE_STATUS lpServiceStatus) {
  Machine* m = Enter(nullptr);
  if (!m) return FALSE;
  Json* entry = nullptr;
  if (!ServiceFor(*m, "QueryServiceStatus", hService, SERVICE_QUERY_STATUS, &entry)) return FALSE;
  if (!lpServiceStatus) return Fail(*m, RPC_X_NULL_REF_POINTER, FALSE);
  FillStatus(*entry, lpServiceStatus);
  m->last_error = ERROR_SUCCESS;
  return TRUE;
}

BOOL WINAPI ControlService(SC_HANDLE hService, DWORD dwControl, LPSERVICE_STATUS lpServiceStatus) {
  Machine* m = Enter(nullptr);
  if (!m) return FALSE;
  sim::ServiceHandle* sh = m->services.Get(hService);
  const DWORD right = dwControl == SERVICE_CONTROL_STOP          ? SERVICE_STOP
                      : dwControl == SERVICE_CONTROL_INTERROGATE ? SERVICE_INTERROGATE
                      : dwControl <= 3                           ? SERVICE_PAUSE_CONTINUE
                      : dwControl >= 128 && dwControl <= 255     ? SERVICE_USER_DEFINED_CONTROL
                                                                 : 0;
  Json* entry = nullptr;
  if (!ServiceFor(*m, "ControlService", hService, right, &entry)) return FALSE;
  if (right == 0) return Fail(*m, ERROR_INVALID_PARAMETER, FALSE);
  if (!lpServiceStatus) return Fail(*m, RPC_X_NULL_REF_POINTER, FALSE);
  const DWORD state = sim::ServiceManager::State(*entry);
  if (state == SERVICE_STOPPED) return Fail(*m, ERROR_SERVICE_NOT_ACTIVE, FALSE);
  // A service busy with a change takes no control until it is done.
  if (state == SERVICE_STOP_PENDING) {
    FillStatus(*entry, lpServiceStatus);
    return Fail(*m, ERROR_SERVICE_CANNOT_ACCEPT_CTRL, FALSE);
  }
  if (dwControl == SERVICE_CONTROL_INTERROGATE) {
    FillStatus(*entry, lpServiceStatus);
    m->last_error = ERROR_SUCCESS;
    return TRUE;
  }
  if (dwControl != SERVICE_CONTROL_STOP || !AcceptsStop(*entry)) {
    FillStatus(*entry, lpServiceStatus);
    return Fail(*m, ERROR_INVALID_SERVICE_CONTROL, FALSE);
  }
  const uint64_t seconds = entry->contains("stop_seconds") && (*entry)["stop_seconds"].is_number()
                               ? (*entry)["stop_seconds"].get<uint64_t>()
                               : 0;
  (*entry)["state"] = "stop_pending";
  m->services.StopAt(sh->name, m->system.elapsed_ms + seconds * 1000);
  FillStatus(*entry, lpServiceStatus);
  m->last_error = ERROR_SUCCESS;
  return TRUE;
}

BOOL WINAPI DeleteService(SC_HANDLE hService) {
  Machine* m = Enter(nullptr);
  if (!m) return FALSE;
  Json* entry = nullptr;
  sim::ServiceHandle* sh = ServiceFor(*m, "DeleteService", hService, DELETE, &entry);
  if (!sh) return FALSE;
  if (m->services.Marked(sh->name)) return Fail(*m, ERROR_SERVICE_MARKED_FOR_DELETE, FALSE);
  m->services.Mark(sh->name);
  m->last_error = ERROR_SUCCESS;
  return TRUE;
}

BOOL WINAPI CloseServiceHandle(SC_HANDLE hSCObject) {
  Machine* m = Enter("CloseServiceHandle");
  if (!m) return FALSE;
  if (!m->services.Close(*m, hSCObject)) return Fail(*m, ERROR_INVALID_HANDLE, FALSE);
  m->last_error = ERROR_SUCCESS;
  return TRUE;
}
