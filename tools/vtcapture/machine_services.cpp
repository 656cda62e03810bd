// Services as the NT family's service manager lists them.
#include <windows.h>

#include <vector>

#include "tools/vtcapture/machine_parts.h"
#include "tools/vtcapture/win_text.h"

namespace vtcapture {
namespace {

const char* StateName(DWORD state) {
  switch (state) {
    case SERVICE_STOPPED:
      return "stopped";
    case SERVICE_STOP_PENDING:
      return "stop_pending";
    case SERVICE_PAUSED:
    case SERVICE_PAUSE_PENDING:
      return "paused";
    default:
      return "running";  // running, or on its way there
  }
}

const char* TypeName(DWORD type) {
  if (type & SERVICE_KERNEL_DRIVER) return "kernel_driver";
  if (type & SERVICE_FILE_SYSTEM_DRIVER) return "file_system_driver";
  if (type & SERVICE_WIN32_SHARE_PROCESS) return "share_process";
  return "own_process";
}

const char* StartName(DWORD start) {
  switch (start) {
    case SERVICE_BOOT_START:
      return "boot";
    case SERVICE_SYSTEM_START:
      return "system";
    case SERVICE_AUTO_START:
      return "auto";
    case SERVICE_DISABLED:
      return "disabled";
    default:
      return "demand";
  }
}

}  // namespace

void WriteServices(JsonText& json, const Version& version) {
  if (!version.nt_family()) return;
  using EnumServices = BOOL(WINAPI*)(SC_HANDLE, DWORD, DWORD, LPENUM_SERVICE_STATUSA, DWORD,
                                     LPDWORD, LPDWORD, LPDWORD);
  HMODULE advapi = GetModuleHandleA("advapi32.dll");
  const auto enumServices = advapi ? reinterpret_cast<EnumServices>(reinterpret_cast<void (*)()>(
                                         GetProcAddress(advapi, "EnumServicesStatusA")))
                                   : nullptr;
  SC_HANDLE manager =
      enumServices ? OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ENUMERATE_SERVICE) : nullptr;
  json.Key("services");
  json.BeginArray();
  if (!manager) {
    json.EndArray();
    return;
  }
  DWORD resume = 0;
  std::vector<BYTE> buffer(1 << 16);
  for (;;) {
    DWORD needed = 0, count = 0;
    const BOOL ok = enumServices(manager, SERVICE_WIN32 | SERVICE_DRIVER, SERVICE_STATE_ALL,
                                 reinterpret_cast<LPENUM_SERVICE_STATUSA>(buffer.data()),
                                 static_cast<DWORD>(buffer.size()), &needed, &count, &resume);
    const DWORD error = ok ? 0 : GetLastError();
    if (!ok && error != ERROR_MORE_DATA) break;
    const auto* list = reinterpret_cast<const ENUM_SERVICE_STATUSA*>(buffer.data());
    for (DWORD i = 0; i < count; ++i) {
      const ENUM_SERVICE_STATUSA& s = list[i];
      json.BeginObject();
      json.Key("name");
      json.String(AnsiToUtf8(s.lpServiceName));
      json.Key("state");
      json.String(StateName(s.ServiceStatus.dwCurrentState));
      if (s.lpDisplayName && *s.lpDisplayName) {
        json.Key("display_name");
        json.String(AnsiToUtf8(s.lpDisplayName));
      }
      json.Key("type");
      json.String(TypeName(s.ServiceStatus.dwServiceType));
      json.Key("accepts_stop");
      json.Bool((s.ServiceStatus.dwControlsAccepted & SERVICE_ACCEPT_STOP) != 0);
      SC_HANDLE service = OpenServiceA(manager, s.lpServiceName, SERVICE_QUERY_CONFIG);
      if (service) {
        DWORD size = 0;
        QueryServiceConfigA(service, nullptr, 0, &size);
        std::vector<BYTE> config(size ? size : 1);
        if (size &&
            QueryServiceConfigA(service, reinterpret_cast<LPQUERY_SERVICE_CONFIGA>(config.data()),
                                size, &size)) {
          const auto* c = reinterpret_cast<const QUERY_SERVICE_CONFIGA*>(config.data());
          if (c->lpBinaryPathName && *c->lpBinaryPathName) {
            json.Key("binary_path");
            json.String(AnsiToUtf8(c->lpBinaryPathName));
          }
          json.Key("start_type");
          json.String(StartName(c->dwStartType));
        }
        CloseServiceHandle(service);
      }
      json.EndObject();
    }
    if (ok) break;
    if (needed > buffer.size()) buffer.resize(needed);
  }
  json.EndArray();
  CloseServiceHandle(manager);
}

}  // namespace vtcapture
