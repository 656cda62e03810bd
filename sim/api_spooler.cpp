// The print spooler's calls on the simulated PC, over sim::Spooler. Answers
// and error codes are Windows' (NT family unless the 9x family differs).
#include <memory>
#include <string>

#include "platform/win32.h"
#include "sim/machine.h"
#include "sim/spool_buffer.h"
#include "sim/spooler.h"

using sim::Fail;
using sim::Machine;
using sim::SpoolStrings;

namespace {

// An open printer, or (name NULL on NT) the local print server.
struct PrinterHandle : sim::HandleObject {
  static constexpr sim::HandleKind kKind = sim::HandleKind::Other;
  sim::HandleKind Kind() const override { return kKind; }
  std::string name;
  bool server = false;
  ACCESS_MASK access = PRINTER_ACCESS_USE;
};

PrinterHandle* PrinterOf(Machine& m, HANDLE h) {
  return dynamic_cast<PrinterHandle*>(m.handles.Get(h, sim::HandleKind::Other));
}

std::string Text(const char* s) { return s ? std::string(s) : std::string(); }

// The last part of a path: where the spooler copies a driver's file.
std::string FileName(const char* path) {
  const std::string p = Text(path);
  const size_t slash = p.find_last_of("\\/:");
  return slash == std::string::npos ? p : p.substr(slash + 1);
}

// The folder a driver of `env` is copied to.
std::string DriverDirectory(Machine& m, const sim::Spooler& sp, const std::string& env) {
  const std::string* system = m.system.Directory("system");
  const std::string base = system ? *system : std::string("C:\\WINDOWS\\system32");
  if (!sp.Nt()) return base;
  const std::string arch = env == sim::Spooler::kWin40 ? "WIN40" : "W32X86";
  return base + "\\spool\\DRIVERS\\" + arch + "\\" + std::to_string(sp.DriverVersion(env));
}

std::string InDirectory(const std::string& dir, const char* path) {
  return path && *path ? dir + "\\" + FileName(path) : std::string();
}

// The size query and the copy share this end: too small (or no buffer)
// gives 122 with the size needed.
BOOL Finish(Machine& m, size_t needed, DWORD size, LPBYTE buffer, LPDWORD pcbNeeded,
            LPDWORD pcReturned, DWORD count) {
  if (pcbNeeded) *pcbNeeded = static_cast<DWORD>(needed);
  if (buffer == nullptr || size < needed) {
    if (pcReturned) *pcReturned = 0;
    return Fail(m, ERROR_INSUFFICIENT_BUFFER, FALSE);
  }
  if (pcReturned) *pcReturned = count;
  return TRUE;
}

}  // namespace

BOOL WINAPI EnumPrintersA(DWORD Flags, LPSTR Name, DWORD Level, LPBYTE pPrinterEnum, DWORD cbBuf,
                          LPDWORD pcbNeeded, LPDWORD pcReturned) {
  Machine& m = sim::CurrentOrDie();
  if (DWORD e = m.faults.Check("EnumPrintersA")) return Fail(m, e, FALSE);
  sim::Spooler sp(m);
  if (pcbNeeded == nullptr || pcReturned == nullptr) return Fail(m, ERROR_INVALID_PARAMETER, FALSE);
  if (Level != 1 && Level != 2 && !(Level == 4 && sp.Nt()))
    return Fail(m, ERROR_INVALID_LEVEL, FALSE);
  const bool local = (Flags & PRINTER_ENUM_LOCAL) != 0 ||
                     ((Flags & PRINTER_ENUM_NAME) != 0 && (Name == nullptr || *Name == '\0'));
  std::vector<sim::SpoolPrinter> printers;
  if (local) printers = sp.Printers();
  if (printers.empty()) {
    *pcbNeeded = 0;
    *pcReturned = 0;
    return TRUE;
  }
  std::vector<SpoolStrings> records;
  for (const sim::SpoolPrinter& p : printers) {
    if (Level == 1) {
      records.push_back({p.name + "," + p.driver + ",", p.name, std::string()});
    } else if (Level == 2) {
      // server, printer, share, port, driver, comment, location, separator
      // page, print processor, data type, parameters
      records.push_back({std::nullopt, p.name, std::string(), p.port, p.driver, std::string(),
                         std::string(), std::string(), std::string("WinPrint"), std::string("RAW"),
                         std::string()});
    } else {
      records.push_back({p.name, std::nullopt});
    }
  }
  size_t needed = 0;
  if (Level == 1) {
    needed = sim::PackSpoolRecords<PRINTER_INFO_1A>(
        records, sp.Nt(), pPrinterEnum, cbBuf, [](PRINTER_INFO_1A& r, const std::vector<LPSTR>& s) {
          r.Flags = PRINTER_ENUM_ICON8;
          r.pDescription = s[0];
          r.pName = s[1];
          r.pComment = s[2];
        });
  } else if (Level == 2) {
    size_t i = 0;
    needed = sim::PackSpoolRecords<PRINTER_INFO_2A>(
        records, sp.Nt(), pPrinterEnum, cbBuf,
        [&](PRINTER_INFO_2A& r, const std::vector<LPSTR>& s) {
          r.pServerName = s[0];
          r.pPrinterName = s[1];
          r.pShareName = s[2];
          r.pPortName = s[3];
          r.pDriverName = s[4];
          r.pComment = s[5];
          r.pLocation = s[6];
          r.pDevMode = nullptr;
          r.pSepFile = s[7];
          r.pPrintProcessor = s[8];
          r.pDatatype = s[9];
          r.pParameters = s[10];
          r.pSecurityDescriptor = nullptr;
          r.Attributes = PRINTER_ATTRIBUTE_LOCAL;
          r.Priority = 1;
          r.Status = printers[i].pending_deletion ? PRINTER_STATUS_PENDING_DELETION : 0;
          r.cJobs = printers[i].jobs;
          ++i;
        });
  } else {
    needed = sim::PackSpoolRecords<PRINTER_INFO_4A>(
        records, sp.Nt(), pPrinterEnum, cbBuf, [](PRINTER_INFO_4A& r, const std::vector<LPSTR>& s) {
          r.pPrinterName = s[0];
          r.pServerName = s[1];
          r.Attributes = PRINTER_ATTRIBUTE_LOCAL;
        });
  }
  return Finish(m, needed, cbBuf, pPrinterEnum, pcbNeeded, pcReturned,
                static_cast<DWORD>(printers.size()));
}

BOOL WINAPI OpenPrinterA(LPSTR pPrinterName, LPHANDLE phPrinter, LPPRINTER_DEFAULTSA pDefault) {
  Machine& m = sim::CurrentOrDie();
  if (DWORD e = m.faults.Check("OpenPrinterA", "", "", Text(pPrinterName)))
    return Fail(m, e, FALSE);
  sim::Spooler sp(m);
  if (phPrinter == nullptr) return Fail(m, ERROR_INVALID_PARAMETER, FALSE);
  auto handle = std::make_unique<PrinterHandle>();
  if (pDefault && pDefault->DesiredAccess != 0) handle->access = pDefault->DesiredAccess;
  if (pPrinterName == nullptr) {
    // The local print server: the NT family only.
    if (!sp.Nt()) return Fail(m, ERROR_INVALID_PARAMETER, FALSE);
    handle->server = true;
  } else {
    if (*pPrinterName == '\0')
      return Fail(m, sp.Nt() ? ERROR_INVALID_PRINTER_NAME : ERROR_INVALID_PARAMETER, FALSE);
    auto printer = sp.FindPrinter(pPrinterName);
    if (!printer) return Fail(m, ERROR_INVALID_PRINTER_NAME, FALSE);
    handle->name = printer->name;
  }
  // Administering printers is for administrators (NT family).
  if (sp.Nt() && !m.system.administrator &&
      (handle->access & (PRINTER_ACCESS_ADMINISTER | DELETE)) != 0)
    return Fail(m, ERROR_ACCESS_DENIED, FALSE);
  *phPrinter = m.handles.Add(std::move(handle));
  return TRUE;
}

BOOL WINAPI ClosePrinter(HANDLE hPrinter) {
  Machine& m = sim::CurrentOrDie();
  if (DWORD e = m.faults.Check("ClosePrinter")) return Fail(m, e, FALSE);
  if (PrinterOf(m, hPrinter) == nullptr) return Fail(m, ERROR_INVALID_HANDLE, FALSE);
  m.handles.Close(hPrinter);
  return TRUE;
}

HANDLE WINAPI AddPrinterA(LPSTR pName, DWORD Level, LPBYTE pPrinter) {
  Machine& m = sim::CurrentOrDie();
  (void)pName;
  const auto* info = reinterpret_cast<const PRINTER_INFO_2A*>(pPrinter);
  const std::string name = info && Level == 2 ? Text(info->pPrinterName) : std::string();
  if (DWORD e = m.faults.Check("AddPrinterA", "", "", name)) return Fail(m, e, HANDLE(nullptr));
  sim::Spooler sp(m);
  if (Level != 2) return Fail(m, ERROR_INVALID_LEVEL, HANDLE(nullptr));
  if (info == nullptr) return Fail(m, ERROR_INVALID_PARAMETER, HANDLE(nullptr));
  if (name.empty()) return Fail(m, ERROR_INVALID_PRINTER_NAME, HANDLE(nullptr));
  if (sp.FindPrinter(name)) return Fail(m, ERROR_PRINTER_ALREADY_EXISTS, HANDLE(nullptr));
  const std::string driver = Text(info->pDriverName);
  if (!sp.FindDriver(driver, sp.OwnEnvironment()))
    return Fail(m, ERROR_UNKNOWN_PRINTER_DRIVER, HANDLE(nullptr));
  const std::string port = Text(info->pPortName);
  if (!sp.HasPort(port)) return Fail(m, ERROR_UNKNOWN_PORT, HANDLE(nullptr));
  sim::SpoolPrinter p;
  p.name = name;
  p.driver = sp.FindDriver(driver, sp.OwnEnvironment())->name;
  p.port = port;
  sp.AddPrinter(p);
  auto handle = std::make_unique<PrinterHandle>();
  handle->name = name;
  handle->access = PRINTER_ALL_ACCESS;
  return m.handles.Add(std::move(handle));
}

BOOL WINAPI DeletePrinter(HANDLE hPrinter) {
  Machine& m = sim::CurrentOrDie();
  PrinterHandle* h = PrinterOf(m, hPrinter);
  if (DWORD e = m.faults.Check("DeletePrinter", "", "", h ? h->name : "")) return Fail(m, e, FALSE);
  if (h == nullptr || h->server) return Fail(m, ERROR_INVALID_HANDLE, FALSE);
  sim::Spooler sp(m);
  if (sp.Nt() && (h->access & DELETE) == 0) return Fail(m, ERROR_ACCESS_DENIED, FALSE);
  auto printer = sp.FindPrinter(h->name);
  if (!printer) return Fail(m, ERROR_INVALID_PRINTER_NAME, FALSE);
  // With jobs in the queue the printer is only marked; it goes when they end.
  if (printer->jobs > 0) {
    sp.MarkPendingDeletion(printer->name);
  } else {
    sp.RemovePrinter(printer->name);
  }
  return TRUE;
}

BOOL WINAPI AddPrinterDriverA(LPSTR pName, DWORD Level, LPBYTE pDriverInfo) {
  Machine& m = sim::CurrentOrDie();
  (void)pName;
  // DRIVER_INFO_3A begins with the fields of DRIVER_INFO_2A.
  const auto* info = reinterpret_cast<const DRIVER_INFO_2A*>(pDriverInfo);
  const std::string name = info && (Level == 2 || Level == 3) ? Text(info->pName) : std::string();
  if (DWORD e = m.faults.Check("AddPrinterDriverA", "", "", name)) return Fail(m, e, FALSE);
  sim::Spooler sp(m);
  if (Level != 2 && Level != 3) return Fail(m, ERROR_INVALID_LEVEL, FALSE);
  if (info == nullptr || name.empty() || info->pDriverPath == nullptr ||
      info->pDataFile == nullptr || info->pConfigFile == nullptr)
    return Fail(m, ERROR_INVALID_PARAMETER, FALSE);
  auto env = sp.Environment(info->pEnvironment);
  if (!env) return Fail(m, ERROR_INVALID_ENVIRONMENT, FALSE);
  const std::string dir = DriverDirectory(m, sp, *env);
  sim::SpoolDriver d;
  d.name = name;
  d.environment = *env;
  d.driver_path = InDirectory(dir, info->pDriverPath);
  d.data_file = InDirectory(dir, info->pDataFile);
  d.config_file = InDirectory(dir, info->pConfigFile);
  sp.AddDriver(d);
  return TRUE;
}

BOOL WINAPI GetPrinterDriverA(HANDLE hPrinter, LPSTR pEnvironment, DWORD Level, LPBYTE pDriverInfo,
                              DWORD cbBuf, LPDWORD pcbNeeded) {
  Machine& m = sim::CurrentOrDie();
  PrinterHandle* h = PrinterOf(m, hPrinter);
  sim::Spooler sp(m);
  std::optional<sim::SpoolPrinter> printer;
  if (h && !h->server) printer = sp.FindPrinter(h->name);
  if (DWORD e = m.faults.Check("GetPrinterDriverA", "", "", printer ? printer->driver : ""))
    return Fail(m, e, FALSE);
  if (h == nullptr || h->server) return Fail(m, ERROR_INVALID_HANDLE, FALSE);
  if (!printer) return Fail(m, ERROR_INVALID_PRINTER_NAME, FALSE);
  if (Level != 2 && Level != 3) return Fail(m, ERROR_INVALID_LEVEL, FALSE);
  auto env = sp.Environment(pEnvironment);
  if (!env) return Fail(m, ERROR_INVALID_ENVIRONMENT, FALSE);
  // (95/98/ME hold drivers of their own environment only and answer with it:
  // Environment() gives theirs whatever is asked.)
  auto driver = sp.FindDriver(printer->driver, *env);
  if (!driver) return Fail(m, ERROR_UNKNOWN_PRINTER_DRIVER, FALSE);
  const DWORD version = sp.DriverVersion(driver->environment);
  SpoolStrings strings = {driver->name, driver->environment, driver->driver_path, driver->data_file,
                          driver->config_file};
  // Level 3 begins with level 2's members.
  const auto fillLevel2 = [&](auto& r, const std::vector<LPSTR>& s) {
    r.cVersion = version;
    r.pName = s[0];
    r.pEnvironment = s[1];
    r.pDriverPath = s[2];
    r.pDataFile = s[3];
    r.pConfigFile = s[4];
  };
  size_t needed = 0;
  if (Level == 2) {
    needed =
        sim::PackSpoolRecords<DRIVER_INFO_2A>({strings}, sp.Nt(), pDriverInfo, cbBuf, fillLevel2);
  } else {
    strings.push_back(std::string());  // help file
    needed =
        sim::PackSpoolRecords<DRIVER_INFO_3A>({strings}, sp.Nt(), pDriverInfo, cbBuf,
                                              [&](DRIVER_INFO_3A& r, const std::vector<LPSTR>& s) {
                                                fillLevel2(r, s);
                                                r.pHelpFile = s[5];
                                              });
  }
  return Finish(m, needed, cbBuf, pDriverInfo, pcbNeeded, nullptr, 1);
}

BOOL WINAPI DeletePrinterDriverA(LPSTR pName, LPSTR pEnvironment, LPSTR pDriverName) {
  Machine& m = sim::CurrentOrDie();
  (void)pName;
  if (DWORD e = m.faults.Check("DeletePrinterDriverA", "", "", Text(pDriverName)))
    return Fail(m, e, FALSE);
  sim::Spooler sp(m);
  auto env = sp.Environment(pEnvironment);
  if (!env) return Fail(m, ERROR_INVALID_ENVIRONMENT, FALSE);
  if (pDriverName == nullptr || *pDriverName == '\0')
    return Fail(m, ERROR_INVALID_PARAMETER, FALSE);
  auto driver = sp.FindDriver(pDriverName, *env);
  if (!driver) return Fail(m, ERROR_UNKNOWN_PRINTER_DRIVER, FALSE);
  if (sp.DriverInUse(driver->name, driver->environment))
    return Fail(m, ERROR_PRINTER_DRIVER_IN_USE, FALSE);
  sp.RemoveDriver(driver->name, driver->environment);
  return TRUE;
}

BOOL WINAPI DeletePortA(LPSTR pName, HWND hWnd, LPSTR pPortName) {
  Machine& m = sim::CurrentOrDie();
  (void)pName;
  (void)hWnd;
  if (DWORD e = m.faults.Check("DeletePortA", "", "", Text(pPortName))) return Fail(m, e, FALSE);
  sim::Spooler sp(m);
  if (pPortName == nullptr || *pPortName == '\0') return Fail(m, ERROR_INVALID_PARAMETER, FALSE);
  if (!sp.HasPort(pPortName)) return Fail(m, ERROR_UNKNOWN_PORT, FALSE);
  if (sp.PortInUse(pPortName)) return Fail(m, ERROR_BUSY, FALSE);
  sp.RemovePort(pPortName);
  return TRUE;
}

BOOL WINAPI EnumMonitorsA(LPSTR pName, DWORD Level, LPBYTE pMonitor, DWORD cbBuf, LPDWORD pcbNeeded,
                          LPDWORD pcReturned) {
  Machine& m = sim::CurrentOrDie();
  (void)pName;
  if (DWORD e = m.faults.Check("EnumMonitorsA")) return Fail(m, e, FALSE);
  sim::Spooler sp(m);
  // Level 2 (with the environment and DLL) is the NT family's only.
  if (Level != 1 && !(Level == 2 && sp.Nt())) return Fail(m, ERROR_INVALID_LEVEL, FALSE);
  if (pcbNeeded == nullptr || pcReturned == nullptr) return Fail(m, ERROR_INVALID_PARAMETER, FALSE);
  const std::vector<std::string> monitors = sp.Monitors();
  if (monitors.empty()) {
    *pcbNeeded = 0;
    *pcReturned = 0;
    return TRUE;
  }
  std::vector<SpoolStrings> records;
  for (const std::string& name : monitors) {
    if (Level == 1) {
      records.push_back({name});
    } else {
      records.push_back({name, sp.OwnEnvironment(), sp.MonitorDll(name)});
    }
  }
  size_t needed = 0;
  if (Level == 1) {
    needed = sim::PackSpoolRecords<MONITOR_INFO_1A>(
        records, sp.Nt(), pMonitor, cbBuf,
        [](MONITOR_INFO_1A& r, const std::vector<LPSTR>& s) { r.pName = s[0]; });
  } else {
    needed = sim::PackSpoolRecords<MONITOR_INFO_2A>(
        records, sp.Nt(), pMonitor, cbBuf, [](MONITOR_INFO_2A& r, const std::vector<LPSTR>& s) {
          r.pName = s[0];
          r.pEnvironment = s[1];
          r.pDLLName = s[2];
        });
  }
  return Finish(m, needed, cbBuf, pMonitor, pcbNeeded, pcReturned,
                static_cast<DWORD>(monitors.size()));
}

BOOL WINAPI AddMonitorA(LPSTR pName, DWORD Level, LPBYTE pMonitorInfo) {
  Machine& m = sim::CurrentOrDie();
  (void)pName;
  const auto* info = reinterpret_cast<const MONITOR_INFO_2A*>(pMonitorInfo);
  const std::string name = info && Level == 2 ? Text(info->pName) : std::string();
  if (DWORD e = m.faults.Check("AddMonitorA", "", "", name)) return Fail(m, e, FALSE);
  sim::Spooler sp(m);
  if (Level != 2) return Fail(m, ERROR_INVALID_LEVEL, FALSE);
  if (info == nullptr) return Fail(m, ERROR_INVALID_PARAMETER, FALSE);
  if (info->pEnvironment == nullptr)
    return Fail(m, sp.Nt() ? ERROR_INVALID_PARAMETER : ERROR_INVALID_ENVIRONMENT, FALSE);
  if (!sp.Environment(info->pEnvironment)) return Fail(m, ERROR_INVALID_ENVIRONMENT, FALSE);
  if (name.empty() || info->pDLLName == nullptr || *info->pDLLName == '\0')
    return Fail(m, ERROR_INVALID_PARAMETER, FALSE);
  if (sp.FindMonitor(name))
    return Fail(m, sp.Nt() ? ERROR_PRINT_MONITOR_ALREADY_INSTALLED : ERROR_ALREADY_EXISTS, FALSE);
  sp.AddMonitor(name, info->pDLLName);
  return TRUE;
}

BOOL WINAPI DeleteMonitorA(LPSTR pName, LPSTR pEnvironment, LPSTR pMonitorName) {
  Machine& m = sim::CurrentOrDie();
  (void)pName;
  (void)pEnvironment;  // not checked: any environment removes the monitor
  if (DWORD e = m.faults.Check("DeleteMonitorA", "", "", Text(pMonitorName)))
    return Fail(m, e, FALSE);
  sim::Spooler sp(m);
  if (pMonitorName == nullptr || *pMonitorName == '\0')
    return Fail(m, sp.Nt() ? ERROR_INVALID_PARAMETER : ERROR_INVALID_NAME, FALSE);
  auto monitor = sp.FindMonitor(pMonitorName);
  if (!monitor)
    return Fail(m, sp.Nt() ? ERROR_UNKNOWN_PRINT_MONITOR : ERROR_INVALID_PARAMETER, FALSE);
  if (sp.MonitorInUse(*monitor)) return Fail(m, ERROR_PRINT_MONITOR_IN_USE, FALSE);
  sp.RemoveMonitor(*monitor);
  return TRUE;
}
