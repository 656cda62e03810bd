// Print spooler: printers, drivers, ports and monitors. A case sets up its
// own driver and printer through the creating calls (AddPrinterDriverA level
// 3, AddPrinterA level 2, AddMonitorA) and removes them again, so a Windows
// or Wine PC is left as found. The driver is added for the PC's own
// environment (a NULL environment): "Windows NT x86" on NT, "Windows 4.0" on
// 95/98/ME.
#include <cstring>
#include <string>
#include <vector>

#include "conformance/conformance.h"

using namespace conformance;

namespace {

char kDriver[] = "CvsConf Test Driver";
char kPrinter[] = "CvsConf Test Printer";
char kMonitor[] = "CvsConf Test Monitor";
char kPort[] = "LPT1:";
char kNtX86[] = "Windows NT x86";
char kWin40[] = "Windows 4.0";

constexpr char kWineDriverChecks[] =
    "Wine's DeletePrinterDriverA neither looks for printers using the driver nor reports an "
    "unknown one (last error 0, then 6); Windows: 3001 and 1797 (RpcDeletePrinterDriver "
    "validation in the print system remote protocol, DeletePrinterDriver documentation)";
constexpr char kWineAddPrinterChecks[] =
    "Wine's AddPrinterA answers a second printer of one name with a handle and an unknown "
    "driver with 87; Windows: 1802 and 1797 (RpcAddPrinter validation in the print system "
    "remote protocol; installers test AddPrinter's 1802 as 'already installed')";
constexpr char kWinePortChecks[] =
    "Wine's DeletePortA does not look for printers using the port and answers an unknown port "
    "with 50; Windows: 170 and 1796 (RpcDeletePort validation in the print system remote "
    "protocol; DeletePort documentation: an error while a printer is connected)";
constexpr char kWineMonitorsOn9x[] =
    "Wine answers with its NT codes in 98 mode; Windows 9x has no EnumMonitorsA level 2 (124) "
    "and gives 183 for a monitor added twice, 87 for an unknown one (Wine's own "
    "dlls/winspool.drv/tests/info.c, test_EnumMonitors, test_AddMonitor, test_DeleteMonitor)";

std::string OwnEnvironment() { return NtFamily() ? kNtX86 : kWin40; }

bool MakeDriver() {
  char path[] = "cvsconf.drv";
  char data[] = "cvsconf.ppd";
  char config[] = "cvsconfui.dll";
  DRIVER_INFO_3A info;
  std::memset(&info, 0, sizeof info);
  info.cVersion = NtFamily() ? 3 : 0;
  info.pName = kDriver;
  info.pDriverPath = path;
  info.pDataFile = data;
  info.pConfigFile = config;
  return AddPrinterDriverA(nullptr, 3, reinterpret_cast<LPBYTE>(&info)) != FALSE;
}

HANDLE MakePrinter() {
  char processor[] = "WinPrint";
  char datatype[] = "RAW";
  PRINTER_INFO_2A info;
  std::memset(&info, 0, sizeof info);
  info.pPrinterName = kPrinter;
  info.pPortName = kPort;
  info.pDriverName = kDriver;
  info.pPrintProcessor = processor;
  info.pDatatype = datatype;
  info.Attributes = PRINTER_ATTRIBUTE_LOCAL;
  return AddPrinterA(nullptr, 2, reinterpret_cast<LPBYTE>(&info));
}

// The test driver and a printer using it, removed again at the end.
struct TestPrinter {
  HANDLE handle = nullptr;
  TestPrinter() {
    CHECK_TRUE(MakeDriver());
    handle = MakePrinter();
    CHECK_TRUE(handle != nullptr);
  }
  ~TestPrinter() {
    if (handle) {
      DeletePrinter(handle);
      ClosePrinter(handle);
    }
    std::string env = OwnEnvironment();
    DeletePrinterDriverA(nullptr, &env[0], kDriver);
  }
};

// The names of the local printers (level 2), checking the size query first.
std::vector<std::string> LocalPrinters() {
  std::vector<std::string> names;
  DWORD needed = 0, count = 0;
  if (EnumPrintersA(PRINTER_ENUM_LOCAL, nullptr, 2, nullptr, 0, &needed, &count)) {
    CHECK_EQ(needed, 0u);
    return names;
  }
  CHECK_ERROR(ERROR_INSUFFICIENT_BUFFER);
  std::vector<BYTE> buffer(needed);
  DWORD again = 0;
  CHECK_EQ(EnumPrintersA(PRINTER_ENUM_LOCAL, nullptr, 2, buffer.data(), needed, &again, &count),
           TRUE);
  CHECK_EQ(again, needed);
  const auto* p = reinterpret_cast<const PRINTER_INFO_2A*>(buffer.data());
  for (DWORD i = 0; i < count; ++i) names.push_back(p[i].pPrinterName ? p[i].pPrinterName : "");
  return names;
}

bool Listed(const std::vector<std::string>& names, const char* name) {
  for (const std::string& n : names)
    if (n == name) return true;
  return false;
}

}  // namespace

// --- Printers ---------------------------------------------------------------

CONFORMANCE_CASE(spooler, EnumPrintersA_Level2ListsAnAddedPrinter) {
  CHECK_TRUE(!Listed(LocalPrinters(), kPrinter));
  {
    TestPrinter tp;
    DWORD needed = 0, count = 99;
    CHECK_EQ(EnumPrintersA(PRINTER_ENUM_LOCAL, nullptr, 2, nullptr, 0, &needed, &count), FALSE);
    CHECK_ERROR(ERROR_INSUFFICIENT_BUFFER);
    CHECK_TRUE(needed >= sizeof(PRINTER_INFO_2A) + sizeof kPrinter + sizeof kDriver);
    std::vector<BYTE> buffer(needed);
    CHECK_EQ(EnumPrintersA(PRINTER_ENUM_LOCAL, nullptr, 2, buffer.data(), needed, &needed, &count),
             TRUE);
    const auto* p = reinterpret_cast<const PRINTER_INFO_2A*>(buffer.data());
    bool found = false;
    for (DWORD i = 0; i < count; ++i) {
      if (p[i].pPrinterName == nullptr || std::strcmp(p[i].pPrinterName, kPrinter) != 0) continue;
      found = true;
      CHECK_STR(p[i].pDriverName, kDriver);
      CHECK_STR(p[i].pPortName, kPort);
      CHECK_EQ(p[i].Status, 0u);
    }
    CHECK_TRUE(found);
  }
  CHECK_TRUE(!Listed(LocalPrinters(), kPrinter));
}

CONFORMANCE_CASE(spooler, EnumPrintersA_ShortBufferGives122) {
  TestPrinter tp;
  DWORD needed = 0, count = 0;
  EnumPrintersA(PRINTER_ENUM_LOCAL, nullptr, 2, nullptr, 0, &needed, &count);
  std::vector<BYTE> buffer(needed);
  DWORD again = 0;
  CHECK_EQ(EnumPrintersA(PRINTER_ENUM_LOCAL, nullptr, 2, buffer.data(), needed - 1, &again, &count),
           FALSE);
  CHECK_ERROR(ERROR_INSUFFICIENT_BUFFER);
  CHECK_EQ(again, needed);
}

CONFORMANCE_CASE(spooler, OpenPrinterA_UnknownPrinterGives1801) {
  HANDLE h = nullptr;
  char name[] = "CvsConf No Such Printer";
  PRINTER_DEFAULTSA defaults = {nullptr, nullptr, PRINTER_ALL_ACCESS};
  CHECK_EQ(OpenPrinterA(name, &h, &defaults), FALSE);
  CHECK_ERROR(ERROR_INVALID_PRINTER_NAME);
}

CONFORMANCE_CASE(spooler, DeletePrinter_RemovesTheOpenedPrinter) {
  TestPrinter tp;
  ClosePrinter(tp.handle);
  tp.handle = nullptr;
  HANDLE h = nullptr;
  PRINTER_DEFAULTSA defaults = {nullptr, nullptr, PRINTER_ALL_ACCESS};
  CHECK_EQ(OpenPrinterA(kPrinter, &h, &defaults), TRUE);
  CHECK_EQ(DeletePrinter(h), TRUE);
  CHECK_EQ(ClosePrinter(h), TRUE);
  CHECK_TRUE(!Listed(LocalPrinters(), kPrinter));
  CHECK_EQ(OpenPrinterA(kPrinter, &h, &defaults), FALSE);
  CHECK_ERROR(ERROR_INVALID_PRINTER_NAME);
}

CONFORMANCE_CASE(spooler, AddPrinterA_ExistingNameGives1802) {
  WINE_DIFFERS(kWineAddPrinterChecks);
  TestPrinter tp;
  HANDLE again = MakePrinter();
  CHECK_TRUE(again == nullptr);
  CHECK_ERROR(ERROR_PRINTER_ALREADY_EXISTS);
  if (again) ClosePrinter(again);
}

CONFORMANCE_CASE(spooler, AddPrinterA_UnknownDriverGives1797) {
  WINE_DIFFERS(kWineAddPrinterChecks);
  HANDLE h = MakePrinter();  // the test driver is not installed
  CHECK_TRUE(h == nullptr);
  CHECK_ERROR(ERROR_UNKNOWN_PRINTER_DRIVER);
  if (h) {
    DeletePrinter(h);
    ClosePrinter(h);
  }
}

CONFORMANCE_CASE(spooler, ClosePrinter_ClosedHandleGives6) {
  TestPrinter tp;
  CHECK_EQ(ClosePrinter(tp.handle), TRUE);
  HANDLE closed = tp.handle;
  tp.handle = nullptr;
  CHECK_EQ(ClosePrinter(closed), FALSE);
  CHECK_ERROR(ERROR_INVALID_HANDLE);
  // The printer itself stays until deleted.
  PRINTER_DEFAULTSA defaults = {nullptr, nullptr, PRINTER_ALL_ACCESS};
  CHECK_EQ(OpenPrinterA(kPrinter, &tp.handle, &defaults), TRUE);
}

// --- Drivers ----------------------------------------------------------------

CONFORMANCE_CASE(spooler, GetPrinterDriverA_Level2SizeQueryThenRecord) {
  TestPrinter tp;
  std::string env = OwnEnvironment();
  DWORD needed = 0;
  CHECK_EQ(GetPrinterDriverA(tp.handle, &env[0], 2, nullptr, 0, &needed), FALSE);
  CHECK_ERROR(ERROR_INSUFFICIENT_BUFFER);
  std::vector<BYTE> buffer(needed + 1);
  DWORD again = 0;
  CHECK_EQ(GetPrinterDriverA(tp.handle, &env[0], 2, buffer.data(), needed, &again), TRUE);
  CHECK_EQ(again, needed);
  const auto* d = reinterpret_cast<const DRIVER_INFO_2A*>(buffer.data());
  CHECK_STR(d->pName, kDriver);
  CHECK_STR(d->pEnvironment, env);
}

CONFORMANCE_CASE(spooler, GetPrinterDriverA_NotInstalledForThatEnvironmentGives1797) {
  if (!NtFamily()) return;  // 95/98/ME hold one environment only
  TestPrinter tp;
  char other[] = "Windows 4.0";  // known to NT, but the driver is not added for it
  DWORD needed = 0;
  CHECK_EQ(GetPrinterDriverA(tp.handle, other, 2, nullptr, 0, &needed), FALSE);
  CHECK_ERROR(ERROR_UNKNOWN_PRINTER_DRIVER);
}

CONFORMANCE_CASE(spooler, DeletePrinterDriverA_InUseGives3001) {
  if (!NtFamily()) return;  // 95/98/ME: no check found documented
  WINE_DIFFERS(kWineDriverChecks);
  TestPrinter tp;
  CHECK_EQ(DeletePrinterDriverA(nullptr, kNtX86, kDriver), FALSE);
  CHECK_ERROR(ERROR_PRINTER_DRIVER_IN_USE);
}

CONFORMANCE_CASE(spooler, DeletePrinterDriverA_UnknownGives1797) {
  WINE_DIFFERS(kWineDriverChecks);
  std::string env = OwnEnvironment();
  char name[] = "CvsConf No Such Driver";
  CHECK_EQ(DeletePrinterDriverA(nullptr, &env[0], name), FALSE);
  CHECK_ERROR(ERROR_UNKNOWN_PRINTER_DRIVER);
}

CONFORMANCE_CASE(spooler, AddPrinterDriverA_ThenDeleteItOnceFree) {
  WINE_DIFFERS(kWineDriverChecks);
  CHECK_TRUE(MakeDriver());
  std::string env = OwnEnvironment();
  CHECK_EQ(DeletePrinterDriverA(nullptr, &env[0], kDriver), TRUE);
  CHECK_EQ(DeletePrinterDriverA(nullptr, &env[0], kDriver), FALSE);
  CHECK_ERROR(ERROR_UNKNOWN_PRINTER_DRIVER);
}

// --- Ports ------------------------------------------------------------------

CONFORMANCE_CASE(spooler, DeletePortA_UnknownPortGives1796) {
  if (!NtFamily()) return;  // 95/98/ME: not measured
  WINE_DIFFERS(kWinePortChecks);
  char name[] = "CVSCONF_NO_PORT";
  CHECK_EQ(DeletePortA(nullptr, nullptr, name), FALSE);
  CHECK_ERROR(ERROR_UNKNOWN_PORT);
}

CONFORMANCE_CASE(spooler, DeletePortA_InUseGives170) {
  if (!NtFamily()) return;  // 95/98/ME: not measured
  WINE_DIFFERS(kWinePortChecks);
  TestPrinter tp;
  CHECK_EQ(DeletePortA(nullptr, nullptr, kPort), FALSE);
  CHECK_ERROR(ERROR_BUSY);
}

// --- Monitors ---------------------------------------------------------------

CONFORMANCE_CASE(spooler, EnumMonitorsA_Level1ListsLocalPort) {
  DWORD needed = 0, count = 0;
  CHECK_EQ(EnumMonitorsA(nullptr, 1, nullptr, 0, &needed, &count), FALSE);
  CHECK_ERROR(ERROR_INSUFFICIENT_BUFFER);
  std::vector<BYTE> buffer(needed);
  DWORD again = 0;
  CHECK_EQ(EnumMonitorsA(nullptr, 1, buffer.data(), needed, &again, &count), TRUE);
  CHECK_EQ(again, needed);
  const auto* mi = reinterpret_cast<const MONITOR_INFO_1A*>(buffer.data());
  bool local = false;
  for (DWORD i = 0; i < count; ++i) local = local || std::strcmp(mi[i].pName, "Local Port") == 0;
  CHECK_TRUE(local);
}

CONFORMANCE_CASE(spooler, EnumMonitorsA_Level2OnNtOnly) {
  if (!NtFamily()) WINE_DIFFERS(kWineMonitorsOn9x);
  DWORD needed = 0, count = 0;
  CHECK_EQ(EnumMonitorsA(nullptr, 2, nullptr, 0, &needed, &count), FALSE);
  CHECK_ERROR(NtFamily() ? ERROR_INSUFFICIENT_BUFFER : ERROR_INVALID_LEVEL);
}

CONFORMANCE_CASE(spooler, AddMonitorA_OnlyLevel2) {
  std::string env = OwnEnvironment();
  char dll[] = "localspl.dll";
  MONITOR_INFO_2A info = {kMonitor, &env[0], dll};
  CHECK_EQ(AddMonitorA(nullptr, 1, reinterpret_cast<LPBYTE>(&info)), FALSE);
  CHECK_ERROR(ERROR_INVALID_LEVEL);
}

CONFORMANCE_CASE(spooler, DeleteMonitorA_AddedThenUnknown) {
  if (!NtFamily()) WINE_DIFFERS(kWineMonitorsOn9x);
  std::string env = OwnEnvironment();
  char dll[] = "localspl.dll";
  MONITOR_INFO_2A info = {kMonitor, &env[0], dll};
  CHECK_EQ(AddMonitorA(nullptr, 2, reinterpret_cast<LPBYTE>(&info)), TRUE);
  CHECK_EQ(AddMonitorA(nullptr, 2, reinterpret_cast<LPBYTE>(&info)), FALSE);
  CHECK_ERROR(NtFamily() ? ERROR_PRINT_MONITOR_ALREADY_INSTALLED : ERROR_ALREADY_EXISTS);
  CHECK_EQ(DeleteMonitorA(nullptr, &env[0], kMonitor), TRUE);
  CHECK_EQ(DeleteMonitorA(nullptr, &env[0], kMonitor), FALSE);
  CHECK_ERROR(NtFamily() ? ERROR_UNKNOWN_PRINT_MONITOR : ERROR_INVALID_PARAMETER);
}
