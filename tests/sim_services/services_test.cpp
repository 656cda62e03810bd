// The service manager of the simulated PC: the sequence an uninstaller uses
// (open, query, stop, delete, close) and the states and errors on the way.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "sim/machine.h"
#include "support/test_machine.h"

namespace {

using Json = nlohmann::ordered_json;

constexpr DWORD kUninstallerRights = 0x10025;  // delete, query config/status, stop

void AddService(TestMachine& tm, Json entry) {
  if (!tm.m.json.contains("services")) tm.m.json["services"] = Json::array();
  tm.m.json["services"].push_back(std::move(entry));
}

std::vector<std::string> ServiceNames(TestMachine& tm) {
  std::vector<std::string> names;
  for (const Json& s : tm.m.json["services"]) names.push_back(s["name"].get<std::string>());
  return names;
}

DWORD StateOf(SC_HANDLE service) {
  SERVICE_STATUS status{};
  EXPECT_TRUE(QueryServiceStatus(service, &status));
  return status.dwCurrentState;
}

TEST(Services, RunningServiceIsStoppedDeletedAndGoneAtLastClose) {
  TestMachine tm("xp");
  AddService(tm, {{"name", "Spooler"}, {"state", "running"}});
  AddService(tm, {{"name", "VtScanSvc"},
                  {"state", "running"},
                  {"display_name", "VT Scan Service"},
                  {"binary_path", "C:\\WINDOWS\\system32\\vtscan.exe"},
                  {"start_type", "demand"}});
  SC_HANDLE scm = OpenSCManagerA("\\\\shop-pc", nullptr, SC_MANAGER_ALL_ACCESS);
  ASSERT_NE(scm, nullptr);
  SC_HANDLE svc = OpenServiceA(scm, "vtscansvc", kUninstallerRights);
  ASSERT_NE(svc, nullptr);

  DWORD needed = 0;
  EXPECT_FALSE(QueryServiceConfigA(svc, nullptr, 0, &needed));
  EXPECT_EQ(GetLastError(), 122u);
  std::vector<char> buffer(needed);
  auto* config = reinterpret_cast<QUERY_SERVICE_CONFIGA*>(buffer.data());
  EXPECT_FALSE(QueryServiceConfigA(svc, config, needed - 1, &needed));
  EXPECT_EQ(GetLastError(), 122u);
  ASSERT_TRUE(QueryServiceConfigA(svc, config, needed, &needed));
  EXPECT_STREQ(config->lpBinaryPathName, "C:\\WINDOWS\\system32\\vtscan.exe");
  EXPECT_STREQ(config->lpDisplayName, "VT Scan Service");
  EXPECT_EQ(config->dwStartType, SERVICE_DEMAND_START);
  EXPECT_EQ(config->dwServiceType, SERVICE_WIN32_OWN_PROCESS);
  for (const char* s : {config->lpBinaryPathName, config->lpDisplayName, config->lpDependencies}) {
    EXPECT_GE(s, buffer.data() + sizeof(QUERY_SERVICE_CONFIGA));
    EXPECT_LT(s, buffer.data() + needed);
  }

  EXPECT_EQ(StateOf(svc), SERVICE_RUNNING);
  SERVICE_STATUS status{};
  ASSERT_TRUE(ControlService(svc, SERVICE_CONTROL_STOP, &status));
  EXPECT_EQ(status.dwCurrentState, SERVICE_STOP_PENDING);
  EXPECT_EQ(StateOf(svc), SERVICE_STOPPED);  // a stop of 0 seconds is over at the next call
  EXPECT_FALSE(ControlService(svc, SERVICE_CONTROL_STOP, &status));
  EXPECT_EQ(GetLastError(), 1062u);

  ASSERT_TRUE(DeleteService(svc));
  EXPECT_FALSE(DeleteService(svc));
  EXPECT_EQ(GetLastError(), 1072u);
  // Still there while a handle is open, under a second handle too.
  SC_HANDLE second = OpenServiceA(scm, "VtScanSvc", SERVICE_QUERY_STATUS);
  ASSERT_NE(second, nullptr);
  EXPECT_TRUE(CloseServiceHandle(svc));
  EXPECT_EQ(ServiceNames(tm), (std::vector<std::string>{"Spooler", "VtScanSvc"}));
  EXPECT_TRUE(CloseServiceHandle(second));
  EXPECT_EQ(ServiceNames(tm), std::vector<std::string>{"Spooler"});
  EXPECT_EQ(OpenServiceA(scm, "VtScanSvc", SERVICE_QUERY_STATUS), nullptr);
  EXPECT_EQ(GetLastError(), 1060u);
  EXPECT_FALSE(CloseServiceHandle(svc));
  EXPECT_EQ(GetLastError(), 6u);
  EXPECT_TRUE(CloseServiceHandle(scm));
}

TEST(Services, SlowStopRefusedStopAndMarkedRunningService) {
  TestMachine tm("2000");
  AddService(tm, {{"name", "Slow"}, {"state", "running"}, {"stop_seconds", 5}});
  AddService(tm, {{"name", "Stubborn"}, {"state", "running"}, {"accepts_stop", false}});
  AddService(tm, {{"name", "Stuck"}, {"state", "stop_pending"}});
  SC_HANDLE scm = OpenSCManagerA(nullptr, SERVICES_ACTIVE_DATABASEA, SC_MANAGER_ALL_ACCESS);
  ASSERT_NE(scm, nullptr);
  SERVICE_STATUS status{};

  SC_HANDLE slow = OpenServiceA(scm, "Slow", kUninstallerRights);
  ASSERT_TRUE(ControlService(slow, SERVICE_CONTROL_STOP, &status));
  EXPECT_EQ(StateOf(slow), SERVICE_STOP_PENDING);
  EXPECT_FALSE(ControlService(slow, SERVICE_CONTROL_STOP, &status));
  EXPECT_EQ(GetLastError(), 1061u);
  ASSERT_TRUE(DeleteService(slow));
  ASSERT_TRUE(CloseServiceHandle(slow));
  // Marked and closed, but still stopping: it goes when the stop is over.
  EXPECT_EQ(tm.m.json["services"][0]["state"], "stop_pending");
  tm.m.system.AdvanceClock(4999);
  EXPECT_EQ(OpenServiceA(scm, "Nothing", SERVICE_QUERY_STATUS), nullptr);
  EXPECT_EQ(tm.m.json["services"][0]["name"], "Slow");
  tm.m.system.AdvanceClock(1);
  EXPECT_EQ(OpenServiceA(scm, "Slow", SERVICE_QUERY_STATUS), nullptr);
  EXPECT_EQ(GetLastError(), 1060u);

  SC_HANDLE stubborn = OpenServiceA(scm, "Stubborn", kUninstallerRights);
  EXPECT_FALSE(ControlService(stubborn, SERVICE_CONTROL_STOP, &status));
  EXPECT_EQ(GetLastError(), 1052u);
  EXPECT_EQ(status.dwCurrentState, SERVICE_RUNNING);
  ASSERT_TRUE(DeleteService(stubborn));
  ASSERT_TRUE(CloseServiceHandle(stubborn));
  EXPECT_EQ(ServiceNames(tm), (std::vector<std::string>{"Stubborn", "Stuck"}));
  stubborn = OpenServiceA(scm, "Stubborn", kUninstallerRights);
  EXPECT_FALSE(DeleteService(stubborn));  // the mark outlives the handles
  EXPECT_EQ(GetLastError(), 1072u);

  SC_HANDLE stuck = OpenServiceA(scm, "Stuck", kUninstallerRights);
  EXPECT_FALSE(ControlService(stuck, SERVICE_CONTROL_STOP, &status));
  EXPECT_EQ(GetLastError(), 1061u);
  tm.m.system.AdvanceClock(600000);
  EXPECT_EQ(StateOf(stuck), SERVICE_STOP_PENDING);
}

TEST(Services, ManagerRefusals) {
  {
    TestMachine tm("98");
    EXPECT_EQ(OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS), nullptr);
    EXPECT_EQ(GetLastError(), 120u);
  }
  TestMachine tm("xp");
  AddService(tm, {{"name", "VtScanSvc"}});
  EXPECT_EQ(OpenSCManagerA("\\\\OTHER-PC", nullptr, SC_MANAGER_ALL_ACCESS), nullptr);
  EXPECT_EQ(GetLastError(), 1722u);
  EXPECT_EQ(OpenSCManagerA(nullptr, "Elsewhere", SC_MANAGER_CONNECT), nullptr);
  EXPECT_EQ(GetLastError(), 123u);
  SC_HANDLE local = OpenSCManagerA("SHOP-PC", nullptr, SC_MANAGER_CONNECT);
  EXPECT_NE(local, nullptr);
  SC_HANDLE empty = OpenSCManagerA("", nullptr, SC_MANAGER_CONNECT);
  EXPECT_NE(empty, nullptr);

  // A user without administrator rights may look but not stop or delete.
  tm.m.system.administrator = false;
  EXPECT_EQ(OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS), nullptr);
  EXPECT_EQ(GetLastError(), 5u);
  EXPECT_EQ(OpenServiceA(local, "VtScanSvc", kUninstallerRights), nullptr);
  EXPECT_EQ(GetLastError(), 5u);
  SC_HANDLE reader = OpenServiceA(local, "VtScanSvc", GENERIC_READ);
  ASSERT_NE(reader, nullptr);
  SERVICE_STATUS status{};
  EXPECT_FALSE(ControlService(reader, SERVICE_CONTROL_STOP, &status));
  EXPECT_EQ(GetLastError(), 5u);
  EXPECT_FALSE(DeleteService(reader));
  EXPECT_EQ(GetLastError(), 5u);
  // A service handle is no manager handle.
  EXPECT_EQ(OpenServiceA(reader, "VtScanSvc", GENERIC_READ), nullptr);
  EXPECT_EQ(GetLastError(), 6u);
}

TEST(Services, FaultsOfHandleCallsMatchTheServiceName) {
  TestMachine tm("xp");
  AddService(tm, {{"name", "VtScanSvc"}});
  AddService(tm, {{"name", "Other"}});
  tm.m.faults.list.push_back({"DeleteService", "", "", "vtscansvc", 5, 1});
  SC_HANDLE scm = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
  SC_HANDLE other = OpenServiceA(scm, "Other", kUninstallerRights);
  SC_HANDLE svc = OpenServiceA(scm, "VtScanSvc", kUninstallerRights);
  EXPECT_TRUE(DeleteService(other));
  EXPECT_FALSE(DeleteService(svc));
  EXPECT_EQ(GetLastError(), 5u);
  EXPECT_TRUE(DeleteService(svc));  // the fault was for one call
}

TEST(Services, CreatedServiceIsStoppedAndNamesAreUnique) {
  TestMachine tm("xp");
  SC_HANDLE scm = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
  SC_HANDLE svc =
      CreateServiceA(scm, "CvsTest", "CVS Test", SERVICE_ALL_ACCESS, SERVICE_WIN32_OWN_PROCESS,
                     SERVICE_DEMAND_START, SERVICE_ERROR_NORMAL, "C:\\x.exe", nullptr, nullptr,
                     nullptr, nullptr, nullptr);
  ASSERT_NE(svc, nullptr);
  EXPECT_EQ(StateOf(svc), SERVICE_STOPPED);
  EXPECT_EQ(
      CreateServiceA(scm, "cvstest", nullptr, 0, SERVICE_WIN32_OWN_PROCESS, SERVICE_DEMAND_START, 0,
                     "C:\\x.exe", nullptr, nullptr, nullptr, nullptr, nullptr),
      nullptr);
  EXPECT_EQ(GetLastError(), 1073u);
  ASSERT_TRUE(DeleteService(svc));
  EXPECT_EQ(
      CreateServiceA(scm, "CvsTest", nullptr, 0, SERVICE_WIN32_OWN_PROCESS, SERVICE_DEMAND_START, 0,
                     "C:\\x.exe", nullptr, nullptr, nullptr, nullptr, nullptr),
      nullptr);
  EXPECT_EQ(GetLastError(), 1072u);
  CloseServiceHandle(svc);
  EXPECT_EQ(tm.m.json["services"].size(), 0u);
}

}  // namespace
