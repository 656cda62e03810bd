// DeleteServices: stops and deletes the device's Windows services (NT family).
#include <memory>
#include <new>

#include "journal/undo_journal.h"
#include "platform/format_text.h"
#include "printing/handle_pnp.h"
#include "printing/pnp_report.h"
#include "resources/string_table.h"

namespace {

// Delete, query configuration, query status and stop.
constexpr DWORD kServiceAccess = 0x10025;

// "\\NAME" for the service manager; a name that already starts with a
// backslash is taken as written.
std::string MachineName(const std::string& computerName) {
  if ((computerName.size() > 0 && computerName[0] == '\\') ||
      (computerName.size() > 1 && computerName[1] == '\\')) {
    return computerName;
  }
  return "\\\\" + computerName;
}

void Report(const char* origin, const std::string& name, DWORD code) {
  PnPLogError(std::string("DeleteServices() in HandlePnP -- ") + origin,
              FormatText(LoadStr(IDS_PNP_SERVICE_NOT_REMOVED), name.c_str()), code);
}

// Stops the service when it runs (without waiting), then deletes it.
void StopAndDelete(SC_HANDLE service, const std::string& name) {
  // Not even stopped when its record cannot be written.
  if (!g_UndoJournal.RecordRemoved(JournalItem::kService, name)) return;
  SERVICE_STATUS status = {};
  if (!QueryServiceStatus(service, &status)) {
    Report("QueryServiceConfig() 3", name, GetLastError());
  } else if (status.dwCurrentState != SERVICE_STOPPED &&
             !ControlService(service, SERVICE_CONTROL_STOP, &status)) {
    Report("ControlService()", name, GetLastError());
  }
  if (DeleteService(service)) {
    PnPLogText(FormatText(LoadStr(IDS_PNP_SERVICE_REMOVED), name.c_str()));
    return;
  }
  const DWORD error = GetLastError();
  if (error == static_cast<DWORD>(ERROR_SERVICE_MARKED_FOR_DELETE)) {
    PnPLogText(FormatText(LoadStr(IDS_PNP_SERVICE_AT_REBOOT), name.c_str()));
  } else {
    Report("DeleteService()", name, error);
  }
}

void RemoveService(SC_HANDLE manager, const std::string& name) {
  SC_HANDLE service = OpenServiceA(manager, name.c_str(), kServiceAccess);
  if (service == nullptr) return;
  DWORD needed = 0;
  const BOOL sized = QueryServiceConfigA(service, nullptr, 0, &needed);
  const DWORD sizeError = sized ? ERROR_SUCCESS : GetLastError();
  if (!sized && sizeError != static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER)) {
    Report("QueryServiceConfig() 1", name, sizeError);
    CloseServiceHandle(service);
    return;
  }
  std::unique_ptr<BYTE[]> record(new (std::nothrow) BYTE[needed ? needed : 1]);
  if (!record) {
    Report("Memory allocation failure", name, sizeError);
    CloseServiceHandle(service);
    return;
  }
  if (!QueryServiceConfigA(service, reinterpret_cast<LPQUERY_SERVICE_CONFIGA>(record.get()), needed,
                           &needed)) {
    Report("QueryServiceConfig() 2", name, GetLastError());
    CloseServiceHandle(service);
    return;
  }
  StopAndDelete(service, name);
  CloseServiceHandle(service);
}

}  // namespace

void DeleteServices(const CStringArray& services, const std::string& computerName) {
  PnPProgress(LoadStr(IDS_PNP_SERVICES_PROGRESS));
  PnPLogText(LoadStr(IDS_PNP_SERVICES_BANNER));
  if (services.empty()) {
    PnPLogNote("HandlePnP -- DeleteServices(): Size == 0", LoadStr(IDS_PNP_SERVICE_LIST_EMPTY));
    return;
  }
  // Without a name (it could not be read) the service manager of this PC.
  const std::string machine = computerName.empty() ? std::string() : MachineName(computerName);
  SC_HANDLE manager =
      OpenSCManagerA(machine.empty() ? nullptr : machine.c_str(), nullptr, SC_MANAGER_ALL_ACCESS);
  if (manager == nullptr) {
    PnPLogError("DeleteServices() in HandlePnP -- OpenSCManager()",
                FormatText(LoadStr(IDS_PNP_SCM_FAILED), machine.c_str()), GetLastError());
    return;
  }
  for (const std::string& name : services) RemoveService(manager, name);
  CloseServiceHandle(manager);
  PnPLogText("\n");
}
