// VTDeletePnP: the printing-system and device removal in its fixed order.
#include <cstring>
#include <vector>

#include "app/main_window.h"
#include "app/version_code.h"
#include "journal/undo_journal.h"
#include "platform/format_text.h"
#include "printing/handle_pnp.h"
#include "printing/pnp_report.h"
#include "resources/string_table.h"

namespace {

// Every driver query asks for this environment, whatever Windows runs.
char kEnvironment[] = "Windows NT x86";
// MAX_COMPUTERNAME_LENGTH (15) and the zero: the whole buffer is passed as its
// size, so a name of 15 characters is read too.
constexpr DWORD kComputerNameBuffer = 15 + 1;

// This PC's name; empty when it cannot be read (the service manager is then
// asked for this PC without a name).
std::string ReadComputerName() {
  char name[kComputerNameBuffer] = {};
  DWORD size = sizeof(name);
  if (!GetComputerNameA(name, &size)) return std::string();
  name[sizeof(name) - 1] = '\0';
  return name;
}

// The printer's driver record for kEnvironment, or false (after a report
// unless the driver is simply not installed for it).
bool ReadDriver(HANDLE printer, const char* printerName, std::vector<BYTE>& record) {
  DWORD needed = 0;
  BOOL ok = GetPrinterDriverA(printer, kEnvironment, 2, nullptr, 0, &needed);
  DWORD error = ok ? ERROR_SUCCESS : GetLastError();
  if (ok || error == static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER)) {
    record.assign(needed < sizeof(DRIVER_INFO_2A) ? sizeof(DRIVER_INFO_2A) : needed, 0);
    ok = GetPrinterDriverA(printer, kEnvironment, 2, record.data(),
                           static_cast<DWORD>(record.size()), &needed);
    error = ok ? ERROR_SUCCESS : GetLastError();
  }
  if (ok) return true;
  if (error != static_cast<DWORD>(ERROR_UNKNOWN_PRINTER_DRIVER)) {
    PnPLogError("VTDeletePnP() -- GetPrinterDriver()",
                FormatText(LoadStr(IDS_PNP_DRIVER_INFO_FAILED), printerName), error);
  }
  return false;
}

void RemovePrinter(const PRINTER_INFO_2A& info) {
  const char* name = info.pPrinterName ? info.pPrinterName : "";
  PRINTER_DEFAULTSA defaults = {nullptr, nullptr, PRINTER_ALL_ACCESS};
  HANDLE printer = nullptr;
  if (!OpenPrinterA(info.pPrinterName, &printer, &defaults)) return;

  std::vector<BYTE> record;
  const bool haveDriver = ReadDriver(printer, name, record);
  // Without its record the printer stays, and so does its driver.
  if (!g_UndoJournal.RecordRemoved(JournalItem::kPrinter, name)) {
    ClosePrinter(printer);
    return;
  }
  if (!DeletePrinter(printer)) {
    PnPLogError("VTDeletePnP() -- DeletePrinter()",
                FormatText(LoadStr(IDS_PNP_PRINTER_NOT_REMOVED), name), GetLastError());
  }
  ClosePrinter(printer);
  if (!haveDriver) return;

  const auto* driver = reinterpret_cast<const DRIVER_INFO_2A*>(record.data());
  if (driver->pName && g_UndoJournal.RecordRemoved(JournalItem::kDriver, driver->pName) &&
      DeletePrinterDriverA(nullptr, driver->pEnvironment, driver->pName)) {
    PnPLogText(FormatText(LoadStr(IDS_PNP_DRIVER_REMOVED), driver->pName));
  }
}

bool IsDevicePrinter(const PRINTER_INFO_2A& info, const std::string& devIDname,
                     const std::string& devIDfax) {
  const std::string driver = info.pDriverName ? info.pDriverName : "";
  return SameTextNoCase(driver, devIDname) || SameTextNoCase(driver, devIDfax);
}

}  // namespace

int VTDeletePnP(const std::string& devIDname, const std::string& devIDfax,
                const CStringArray& pnpIDs, const CStringArray& knownClasses,
                const CStringArray& monitors, const CStringArray& services,
                const CStringArray& msiPacks, DWORD timeoutMs, int safeFlag, int versionCode) {
  const std::string stage = LoadStr(IDS_PNP_UNREGISTER_PRINTER);
  PnPProgress(stage);
  PnPLogText("))) " + stage + "\n");
  const std::string computerName = ReadComputerName();

  if (!msiPacks.empty() && !msiPacks[0].empty()) MsiPackageDelete(msiPacks, timeoutMs);
  if (CCvScrubberDlg* dlg = TheMainWindow()) dlg->RedrawNow();

  DWORD needed = 0;
  DWORD count = 0;
  EnumPrintersA(PRINTER_ENUM_LOCAL, nullptr, 2, nullptr, 0, &needed, &count);
  if (needed == 0) {
    PnPLogText(LoadStr(IDS_PNP_NO_LOCAL_PRINTERS));
    return 0;
  }
  std::vector<BYTE> records(needed);
  if (!EnumPrintersA(PRINTER_ENUM_LOCAL, nullptr, 2, records.data(), needed, &needed, &count)) {
    count = 0;
  }
  CStringArray ports;
  for (DWORD i = 0; i < count; ++i) {
    PRINTER_INFO_2A info;
    std::memcpy(&info, records.data() + i * sizeof(PRINTER_INFO_2A), sizeof(info));
    if (!IsDevicePrinter(info, devIDname, devIDfax)) continue;
    ports.push_back(info.pPortName ? info.pPortName : "");
    RemovePrinter(info);
  }
  PnPLogText("\n");
  if (safeFlag != 0) return 1;

  if (!IsWin9xFamily(versionCode)) DeleteServices(services, computerName);
  DeleteVTPort(ports);
  VTDeleteMonitors(monitors);
  const int result = DeletePnPClasses(knownClasses, pnpIDs);
  PnPLogText("\n");
  return result;
}
