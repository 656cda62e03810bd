// The service control manager: open, create, query, stop and delete. Windows
// 9x has no service manager: its advapi32 answers every call with 120, while
// Wine implements the manager in 98 mode too. The cases make their own
// services (stopped, as nothing can start them) and delete them again.
#include <cstring>
#include <string>
#include <vector>

#include "conformance/conformance.h"

using namespace conformance;

namespace {

constexpr char kWineServicesOn9x[] =
    "Wine implements the service manager in 98 mode; Windows 9x answers 120 "
    "(ERROR_CALL_NOT_IMPLEMENTED; Platform SDK: Windows 95/98/Me unsupported)";
constexpr DWORD kUninstallerRights =
    DELETE | SERVICE_STOP | SERVICE_QUERY_STATUS | SERVICE_QUERY_CONFIG;

std::string ComputerName() {
  char name[64] = {};
  DWORD size = sizeof name;
  return GetComputerNameA(name, &size) ? std::string(name) : std::string();
}

// A demand-start service made for the case, or null (the case then fails).
SC_HANDLE MakeService(SC_HANDLE scm, const char* name, DWORD access = SERVICE_ALL_ACCESS) {
  SC_HANDLE svc =
      CreateServiceA(scm, name, "CVS conformance service", access, SERVICE_WIN32_OWN_PROCESS,
                     SERVICE_DEMAND_START, SERVICE_ERROR_NORMAL, "C:\\cvsconf\\service.exe",
                     nullptr, nullptr, nullptr, nullptr, nullptr);
  CHECK_TRUE(svc != nullptr);
  return svc;
}

// Deletes the case's service by name (whatever a failed check left).
void RemoveService(SC_HANDLE scm, const char* name) {
  SC_HANDLE svc = OpenServiceA(scm, name, DELETE);
  if (svc) {
    DeleteService(svc);
    CloseServiceHandle(svc);
  }
}

}  // namespace

// OpenSCManagerA

CONFORMANCE_CASE(services, OpenSCManagerA_NoServiceManagerOn9x) {
  if (NtFamily()) return;
  WINE_DIFFERS(kWineServicesOn9x);
  SetLastError(0xdeadbeef);
  CHECK_TRUE(OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT) == nullptr);
  CHECK_ERROR(ERROR_CALL_NOT_IMPLEMENTED);
}

CONFORMANCE_CASE(services, OpenSCManagerA_LocalComputerByAnyOfItsNames) {
  if (!NtFamily()) return;
  const std::string name = ComputerName();
  const std::string names[] = {"", name, "\\\\" + name};
  for (const std::string& n : names) {
    SC_HANDLE scm = OpenSCManagerA(n.c_str(), SERVICES_ACTIVE_DATABASEA, SC_MANAGER_ALL_ACCESS);
    CHECK_TRUE(scm != nullptr);
    if (scm) CHECK_EQ(CloseServiceHandle(scm), TRUE);
  }
}

CONFORMANCE_CASE(services, OpenSCManagerA_OtherComputerIsUnreachable) {
  if (!NtFamily()) return;
  WINE_DIFFERS(
      "Wine ignores the machine name; dlls/advapi32/tests/service.c test_open_scm, todo_wine");
  SetLastError(0xdeadbeef);
  SC_HANDLE scm = OpenSCManagerA("\\\\CVS-NO-SUCH-PC", nullptr, SC_MANAGER_CONNECT);
  CHECK_TRUE(scm == nullptr);
  CHECK_ERROR(RPC_S_SERVER_UNAVAILABLE);
  if (scm) CloseServiceHandle(scm);
}

CONFORMANCE_CASE(services, OpenSCManagerA_DatabaseNames) {
  if (!NtFamily()) return;
  SetLastError(0xdeadbeef);
  CHECK_TRUE(OpenSCManagerA(nullptr, "DoesNotExist", SC_MANAGER_CONNECT) == nullptr);
  CHECK_ERROR(ERROR_INVALID_NAME);
  SetLastError(0xdeadbeef);
  CHECK_TRUE(OpenSCManagerA(nullptr, SERVICES_FAILED_DATABASEA, SC_MANAGER_CONNECT) == nullptr);
  CHECK_ERROR(ERROR_DATABASE_DOES_NOT_EXIST);
}

// OpenServiceA

CONFORMANCE_CASE(services, OpenServiceA_UnknownNameAndMissingName) {
  if (!NtFamily()) return;
  SC_HANDLE scm = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT);
  CHECK_TRUE(scm != nullptr);
  SetLastError(0xdeadbeef);
  CHECK_TRUE(OpenServiceA(scm, "CvsNoSuchService", GENERIC_READ) == nullptr);
  CHECK_ERROR(ERROR_SERVICE_DOES_NOT_EXIST);
  SetLastError(0xdeadbeef);
  CHECK_TRUE(OpenServiceA(scm, nullptr, GENERIC_READ) == nullptr);
  const DWORD error = GetLastError();
  CHECK_TRUE(error == ERROR_INVALID_ADDRESS || error == ERROR_INVALID_PARAMETER /* NT 4 */);
  SetLastError(0xdeadbeef);
  CHECK_TRUE(OpenServiceA(nullptr, "CvsNoSuchService", GENERIC_READ) == nullptr);
  CHECK_ERROR(ERROR_INVALID_HANDLE);
  CloseServiceHandle(scm);
}

// CreateServiceA

CONFORMANCE_CASE(services, CreateServiceA_NewServiceIsStoppedAndNamesAreUnique) {
  if (!NtFamily()) return;
  const char kName[] = "CvsConfCreate";
  SC_HANDLE scm = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
  SC_HANDLE svc = MakeService(scm, kName);
  SERVICE_STATUS status;
  std::memset(&status, 0xCC, sizeof status);
  CHECK_EQ(QueryServiceStatus(svc, &status), TRUE);
  CHECK_EQ(status.dwCurrentState, SERVICE_STOPPED);
  CHECK_EQ(status.dwServiceType, SERVICE_WIN32_OWN_PROCESS);
  SetLastError(0xdeadbeef);
  CHECK_TRUE(CreateServiceA(scm, "cvsconfcreate", nullptr, 0, SERVICE_WIN32_OWN_PROCESS,
                            SERVICE_DEMAND_START, 0, "C:\\x.exe", nullptr, nullptr, nullptr,
                            nullptr, nullptr) == nullptr);
  CHECK_ERROR(ERROR_SERVICE_EXISTS);
  CHECK_EQ(DeleteService(svc), TRUE);
  CloseServiceHandle(svc);
  RemoveService(scm, kName);
  CloseServiceHandle(scm);
}

CONFORMANCE_CASE(services, CreateServiceA_NeedsTheCreateRight) {
  if (!NtFamily()) return;
  SC_HANDLE scm = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT);
  SetLastError(0xdeadbeef);
  CHECK_TRUE(CreateServiceA(scm, "CvsConfNoRight", nullptr, 0, SERVICE_WIN32_OWN_PROCESS,
                            SERVICE_DEMAND_START, 0, "C:\\x.exe", nullptr, nullptr, nullptr,
                            nullptr, nullptr) == nullptr);
  CHECK_ERROR(ERROR_ACCESS_DENIED);
  CloseServiceHandle(scm);
}

// QueryServiceConfigA

CONFORMANCE_CASE(services, QueryServiceConfigA_SizeQueryThenPackedRecord) {
  if (!NtFamily()) return;
  const char kName[] = "CvsConfConfig";
  SC_HANDLE scm = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
  SC_HANDLE created = MakeService(scm, kName);
  CloseServiceHandle(created);
  SC_HANDLE svc = OpenServiceA(scm, kName, kUninstallerRights);
  CHECK_TRUE(svc != nullptr);
  DWORD needed = 0;
  SetLastError(0xdeadbeef);
  CHECK_EQ(QueryServiceConfigA(svc, nullptr, 0, &needed), FALSE);
  CHECK_ERROR(ERROR_INSUFFICIENT_BUFFER);
  CHECK_TRUE(needed > sizeof(QUERY_SERVICE_CONFIGA));
  std::vector<char> buffer(needed + 16);
  auto* config = reinterpret_cast<QUERY_SERVICE_CONFIGA*>(buffer.data());
  DWORD again = 0;
  CHECK_EQ(QueryServiceConfigA(svc, config, needed, &again), TRUE);
  if (config->lpBinaryPathName) CHECK_STR(config->lpBinaryPathName, "C:\\cvsconf\\service.exe");
  if (config->lpDisplayName) CHECK_STR(config->lpDisplayName, "CVS conformance service");
  CHECK_EQ(config->dwStartType, SERVICE_DEMAND_START);
  CHECK_EQ(config->dwServiceType, SERVICE_WIN32_OWN_PROCESS);
  // The strings lie in the caller's buffer, after the record.
  CHECK_TRUE(config->lpBinaryPathName >= buffer.data() + sizeof(QUERY_SERVICE_CONFIGA) &&
             config->lpBinaryPathName < buffer.data() + needed);
  CHECK_EQ(DeleteService(svc), TRUE);
  CloseServiceHandle(svc);
  RemoveService(scm, kName);
  CloseServiceHandle(scm);
}

// QueryServiceStatus, ControlService

CONFORMANCE_CASE(services, ControlService_StopOfStoppedServiceGives1062) {
  if (!NtFamily()) return;
  const char kName[] = "CvsConfStop";
  SC_HANDLE scm = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
  SC_HANDLE svc = MakeService(scm, kName, kUninstallerRights);
  SERVICE_STATUS status = {};
  SetLastError(0xdeadbeef);
  CHECK_EQ(ControlService(svc, SERVICE_CONTROL_STOP, &status), FALSE);
  CHECK_ERROR(ERROR_SERVICE_NOT_ACTIVE);
  CHECK_EQ(DeleteService(svc), TRUE);
  CloseServiceHandle(svc);
  RemoveService(scm, kName);
  CloseServiceHandle(scm);
}

CONFORMANCE_CASE(services, QueryServiceStatus_NeedsTheQueryRight) {
  if (!NtFamily()) return;
  const char kName[] = "CvsConfStatus";
  SC_HANDLE scm = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
  SC_HANDLE svc = MakeService(scm, kName, DELETE);
  SERVICE_STATUS status = {};
  SetLastError(0xdeadbeef);
  CHECK_EQ(QueryServiceStatus(svc, &status), FALSE);
  CHECK_ERROR(ERROR_ACCESS_DENIED);
  CHECK_EQ(DeleteService(svc), TRUE);
  CloseServiceHandle(svc);
  RemoveService(scm, kName);
  CloseServiceHandle(scm);
}

// DeleteService, CloseServiceHandle

CONFORMANCE_CASE(services, DeleteService_SecondCallGives1072) {
  if (!NtFamily()) return;
  const char kName[] = "CvsConfDelete";
  SC_HANDLE scm = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
  SC_HANDLE svc = MakeService(scm, kName);
  SC_HANDLE second = OpenServiceA(scm, kName, DELETE | SERVICE_QUERY_STATUS);
  CHECK_TRUE(second != nullptr);
  CHECK_EQ(DeleteService(svc), TRUE);
  SetLastError(0xdeadbeef);
  CHECK_EQ(DeleteService(second), FALSE);
  CHECK_ERROR(ERROR_SERVICE_MARKED_FOR_DELETE);
  CloseServiceHandle(second);
  CloseServiceHandle(svc);
  CloseServiceHandle(scm);
}

CONFORMANCE_CASE(services, CloseServiceHandle_LastCloseRemovesMarkedService) {
  if (!NtFamily()) return;
  const char kName[] = "CvsConfLastClose";
  SC_HANDLE scm = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
  SC_HANDLE svc = MakeService(scm, kName);
  SC_HANDLE second = OpenServiceA(scm, kName, SERVICE_QUERY_STATUS);
  CHECK_EQ(DeleteService(svc), TRUE);
  CHECK_EQ(CloseServiceHandle(svc), TRUE);
  // One handle left: the service is still there.
  SERVICE_STATUS status = {};
  CHECK_EQ(QueryServiceStatus(second, &status), TRUE);
  CHECK_EQ(status.dwCurrentState, SERVICE_STOPPED);
  CHECK_EQ(CloseServiceHandle(second), TRUE);
  SetLastError(0xdeadbeef);
  CHECK_TRUE(OpenServiceA(scm, kName, SERVICE_QUERY_STATUS) == nullptr);
  CHECK_ERROR(ERROR_SERVICE_DOES_NOT_EXIST);
  CHECK_EQ(CloseServiceHandle(scm), TRUE);
}

CONFORMANCE_CASE(services, DeleteService_NeedsTheDeleteRight) {
  if (!NtFamily()) return;
  const char kName[] = "CvsConfNoDelete";
  SC_HANDLE scm = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
  SC_HANDLE svc = MakeService(scm, kName, SERVICE_QUERY_STATUS);
  SetLastError(0xdeadbeef);
  CHECK_EQ(DeleteService(svc), FALSE);
  CHECK_ERROR(ERROR_ACCESS_DENIED);
  CloseServiceHandle(svc);
  RemoveService(scm, kName);
  CloseServiceHandle(scm);
}
